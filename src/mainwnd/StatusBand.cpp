#include "mainwnd/StatusBand.h"

#include <algorithm>

#include <QDateTime>
#include <QPainter>

#include "platform/core/Colours.h"
#include "session/Session.h"

namespace mainwnd {
namespace {

const QColor kStatusText(222, 222, 222);

} // namespace

StatusBand::StatusBand()
{
    setClock([] { return QDateTime::currentMSecsSinceEpoch(); });
}

void StatusBand::setClock(std::function<qint64()> now)
{
    m_now = std::move(now);
    m_startedMs = m_now();
}

void StatusBand::noteMarketReply() { m_lastReplyMs = m_now(); }

QString StatusBand::statusText(std::optional<std::size_t> watchlistCount) const
{
    QString text;
    if (watchlistCount) {
        text = *watchlistCount == 0 ? QStringLiteral("自选为空：在行情列表中选中一行，按 Insert 或右键“加入自选”")
                                    : QStringLiteral("自选（%1）").arg(*watchlistCount);
    }
    if (!m_note.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral("　")) + m_note;
    return text;
}

QString StatusBand::liveText() const
{
    const Session& session = Session::current();
    const auto lines = session.lines();
    const int line = std::clamp(session.lineIndex(), 0, int(lines.size()) - 1);
    QString text = QStringLiteral("线路：") + QString::fromStdString(lines[std::size_t(line)].label);
    text += QStringLiteral("　行情：") +
            (m_lastReplyMs < 0 ? QStringLiteral("--:--:--")
                               : QDateTime::fromMSecsSinceEpoch(m_lastReplyMs).toString(QStringLiteral("HH:mm:ss")));
    text += session.loggedIn() ? QStringLiteral("　账户：") + QString::fromStdString(session.userId())
                               : QStringLiteral("　未登录");
    return text;
}

bool StatusBand::quotesLate() const
{
    return m_now() - (m_lastReplyMs < 0 ? m_startedMs : m_lastReplyMs) > kQuotesLateMs;
}

void StatusBand::paint(QPainter& p, const QRect& band, const QFont& font,
                       std::optional<std::size_t> watchlistCount) const
{
    const int w = band.width();
    const int top = band.top() + 2;
    p.setFont(font);
    p.setPen(kStatusText);
    p.drawText(QRect(15, top, 200, 24), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("酒窖指数"));
    const QString live = liveText();
    const int liveWidth = p.fontMetrics().horizontalAdvance(live) + 20;
    const int noteWidth = std::max(0, w - 240 - liveWidth);
    p.drawText(QRect(220, top, noteWidth, 24), Qt::AlignLeft | Qt::AlignTop,
               p.fontMetrics().elidedText(statusText(watchlistCount), Qt::ElideRight, noteWidth));
    p.setPen(quotesLate() ? platform::RiseColour : kStatusText);
    p.drawText(QRect(w - liveWidth - 5, top, liveWidth, 24), Qt::AlignRight | Qt::AlignTop, live);
}

} // namespace mainwnd
