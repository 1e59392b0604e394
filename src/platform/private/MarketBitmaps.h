#pragma once

#include <QImage>

namespace platform {
// A bitmap of w × h logical pixels at the screen's device pixel ratio, so it is drawn at the
// screen's own resolution; transparent unless an opaque format is asked for (then black).
QImage newBitmap(int w, int h, QImage::Format format = QImage::Format_ARGB32_Premultiplied);

// The images of the market window's title bar and buttons; null for other numbers.
QImage drawMarketBitmap(int id);
} // namespace platform
