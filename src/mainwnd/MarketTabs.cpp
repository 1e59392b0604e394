#include "mainwnd/MarketTabs.h"

#include <algorithm>

#include <QPainter>
#include <QStringList>

#include "platform/Windows.h"
#include "platform/core/Colours.h"

namespace mainwnd {
namespace {

const QColor kGround(32, 32, 32);
const QColor kTabCurrent(41, 41, 41);
const QColor kTabOther(66, 66, 66);

constexpr const char* kChartTabLabels[MarketTabs::kCount] = {"分时走势", "技术分析", "基本资料", "成交明细", "分价线"};

QString vertical(const char* utf8)
{
    const QString text = QString::fromUtf8(utf8);
    QStringList chars;
    for (const QChar c : text)
        chars << QString(c);
    return chars.join(QLatin1Char('\n'));
}

} // namespace

MarketTabs::MarketTabs(int workHeight)
    : m_area(0, 77, 28, workHeight - 106)
{
    const int e = (workHeight - 106) / 5;
    for (int k = 0; k < kCount; ++k)
        m_rects[std::size_t(k)] = platform::edges(0, 78 + k * e, 28, 77 + (k + 1) * e);
    m_flags[0] = true;
}

int MarketTabs::current() const
{
    const auto at = std::find(m_flags.begin(), m_flags.end(), true);
    return at == m_flags.end() ? -1 : int(at - m_flags.begin());
}

void MarketTabs::setCurrent(int k)
{
    m_flags.fill(false);
    m_flags[std::size_t(k)] = true;
}

void MarketTabs::setOverviewCount(int count)
{
    m_overviewCount = std::clamp(count, 0, kCount - 1);
}

int MarketTabs::tabAt(const QPoint& point, bool chartMode) const
{
    const int last = chartMode ? kCount - 1 : std::min(m_overviewCount, kCount - 1);
    for (int k = 0; k <= last; ++k) {
        if (m_rects[std::size_t(k)].contains(point))
            return k;
    }
    return -1;
}

void MarketTabs::draw(QPainter& p, const QFont& font, bool chartMode) const
{
    p.fillRect(m_area, kGround);
    p.setFont(font);
    for (int k = 0; k < kCount; ++k) {
        const QRect& r = m_rects[std::size_t(k)];
        p.fillRect(r, m_flags[std::size_t(k)] ? kTabCurrent : kTabOther);
        const char* label = nullptr;
        if (chartMode)
            label = kChartTabLabels[k];
        else if (k == 0)
            label = "基本行情";
        else if (k == 1)
            label = "扩展行情";
        else if (k == m_overviewCount)
            label = "设置";
        if (label) {
            p.setPen(platform::TextOnDark);
            p.drawText(r, Qt::AlignCenter, vertical(label));
        }
    }
}

} // namespace mainwnd
