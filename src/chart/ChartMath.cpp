#include "chart/ChartMath.h"

namespace chart {

ScrollKind decideScroll(int oldFirst, int oldLast, int first, int last, int slotCount)
{
    const int n = last - first + 1;
    if (n != slotCount)
        return ScrollKind::None;
    const bool newer = oldFirst < first && first < oldLast && first - oldFirst < n / 2;
    const bool older = oldFirst < last && last < oldLast && last - oldFirst > n / 2;
    if (!newer && !older)
        return ScrollKind::None;
    if (first > oldFirst)
        return ScrollKind::TowardsNewer;
    if (first < oldFirst)
        return ScrollKind::TowardsOlder;
    return ScrollKind::None;
}

std::optional<QPoint> snapCrossHair(QPoint cursor, const CrossHairGeometry& g)
{
    int x = cursor.x();
    int y = cursor.y();
    if (y < 23 || y > g.clientBottom - 25 || x < 10 || x > g.clientRight - 10)
        return std::nullopt;
    const int w = g.slotWidth;
    if (w <= 0 || g.slotCount <= 0)
        return std::nullopt;
    const int end = g.areaLeft + g.leftMargin + g.slotCount * w;
    if (x >= end)
        x = end - w / 2;
    const int o = x - g.leftMargin - g.areaLeft;
    if (o % w != 0)
        x = (o / w) * w + g.leftMargin + w / 2 + g.areaLeft;
    if (x <= g.leftMargin)
        x = g.leftMargin;
    y -= y % 6;
    return QPoint(x, y);
}

int visibleBarCountFor(int workAreaWidth)
{
    return workAreaWidth > 0 ? (workAreaWidth / 600) * 40 : 0;
}

} // namespace chart
