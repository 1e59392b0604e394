#include "chart/KLineKeys.h"

#include <algorithm>

namespace chart {

int nextCandleIndex(int cursor, int step, int count)
{
    if (count <= 0)
        return -1;
    return std::clamp(cursor + step, 0, count - 1);
}

int zoomedSpan(int span, bool zoomIn, int minSpan, int maxSpan)
{
    const int next = zoomIn ? span * 2 / 3 : span * 3 / 2;
    return std::clamp(next, minSpan, std::max(minSpan, maxSpan));
}

int firstForCursor(int first, int span, int cursor, int count)
{
    if (cursor >= 0 && cursor < first)
        first = cursor;
    else if (cursor >= first + span)
        first = cursor - span + 1;
    return std::clamp(first, 0, std::max(0, count - span));
}

KLineView applyKLineKey(KLineView view, KLineKey key, int count, int minSpan, int maxSpan)
{
    if (count <= 0)
        return view;
    view.first = std::clamp(view.first, 0, std::max(0, count - view.span));
    if (view.cursor >= count)
        view.cursor = count - 1;
    const int newestShown = std::min(view.first + view.span, count) - 1;
    switch (key) {
    case KLineKey::Left:
    case KLineKey::Right:
        view.cursor = view.cursor < 0 ? newestShown
                                      : nextCandleIndex(view.cursor, key == KLineKey::Left ? -1 : 1, count);
        break;
    case KLineKey::Home:
        view.cursor = 0;
        break;
    case KLineKey::End:
        view.cursor = count - 1;
        break;
    case KLineKey::ZoomIn:
    case KLineKey::ZoomOut: {
        // The newest candle in the window stays where it is, at the right.
        view.span = zoomedSpan(view.span, key == KLineKey::ZoomIn, minSpan, maxSpan);
        view.first = newestShown - view.span + 1;
        break;
    }
    }
    view.first = firstForCursor(view.first, view.span, view.cursor, count);
    return view;
}

} // namespace chart
