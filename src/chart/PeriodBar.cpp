#include "chart/PeriodBar.h"

#include <QPainter>
#include <QtMath>

#include "chart/CandleChart.h"
#include "chart/ChartColour.h"

namespace chart {

QRect PeriodBar::Area()
{
    return QRect(kOrigin, QSize(12 * kCellWidth, kCellHeight));
}

QString PeriodBar::Label(int periodCode)
{
    static const char* const kLabels[12] = {"分笔",   "1分钟", "5分钟", "15分钟", "30分钟", "60分钟",
                                            "120分钟", "日线",  "周线",  "月线",   "季线",   "年线"};
    if (periodCode < 1 || periodCode > 12)
        return {};
    return QString::fromUtf8(kLabels[periodCode - 1]);
}

PeriodBar::Flags PeriodBar::flagsForPress(QPoint point)
{
    Flags flags{};
    for (int i = 0; i < 12; ++i) {
        const QRect cell(kOrigin.x() + i * kCellWidth, kOrigin.y(), kCellWidth, kCellHeight);
        flags[std::size_t(i)] = cell.contains(point) ? 1 : 0;
    }
    return flags;
}

int PeriodBar::PeriodCode(const Flags& flags)
{
    for (int i = 0; i < 12; ++i)
        if (flags[std::size_t(i)])
            return i + 1;
    return kDefaultPeriodCode;
}

QImage PeriodBar::Render(int workAreaWidth, const Flags& flags, const QFont& font, qreal devicePixelRatio)
{
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    QImage image(qCeil(std::max(1, workAreaWidth - 348) * ratio), qCeil(kCellHeight * ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(QColor(32, 32, 32));
    QPainter p(&image);
    p.setFont(font);
    for (int i = 0; i < 12; ++i) {
        const QRect cell(i * kCellWidth, 0, kCellWidth, kCellHeight);
        p.fillRect(cell, flags[std::size_t(i)] ? toQColor(kRiseColour) : QColor(57, 57, 57));
        p.setPen(QColor(240, 240, 240));
        p.drawText(cell, Qt::AlignCenter, Label(i + 1));
    }
    return image;
}

} // namespace chart
