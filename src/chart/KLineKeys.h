#pragma once

namespace chart {

// What the K-line's keys do: move the cross-hair one candle, zoom, or jump to an end.
enum class KLineKey { Left, Right, ZoomIn, ZoomOut, Home, End };

// The candles in the window: `span` slots' worth starting at candle `first`, and the candle
// under the keyboard's cross-hair (-1: none shown).
struct KLineView
{
    int first = 0;
    int span = 0;
    int cursor = -1;

    bool operator==(const KLineView&) const = default;
};

// Zoom bounds: at least this many candles, and at most twice the window's usual count,
// which keeps a candle's body at least two pixels wide.
inline constexpr int kMinZoomSpan = 10;
inline constexpr int kMaxZoomFactor = 2;

// The candle one step from `cursor`, kept within 0..count - 1.
int nextCandleIndex(int cursor, int step, int count);

// The window's candle count one zoom step in (fewer, by a third) or out (more, by half),
// within minSpan..maxSpan.
int zoomedSpan(int span, bool zoomIn, int minSpan, int maxSpan);

// The first candle of a window of `span` that shows `cursor`, moving `first` as little as
// possible, and never past the newest candles.
int firstForCursor(int first, int span, int cursor, int count);

// The window after `key`, for `count` candles and zoom bounds of minSpan..maxSpan. A hidden
// cross-hair appears on the newest candle in the window at the first Left or Right.
KLineView applyKLineKey(KLineView view, KLineKey key, int count, int minSpan, int maxSpan);

} // namespace chart
