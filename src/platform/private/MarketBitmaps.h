#pragma once

#include <QColor>
#include <QImage>

namespace platform {
// One look for every image the project draws: slate grounds, a wine-red accent, gold.
namespace look {
inline const QColor kSlateTop(34, 44, 66);
inline const QColor kSlateBottom(16, 20, 32);
inline const QColor kWine(168, 30, 56);
inline const QColor kWineLight(196, 52, 78);
inline const QColor kWineDark(122, 18, 40);
inline const QColor kGold(214, 178, 110);
} // namespace look

// A bitmap of w × h logical pixels at the screen's device pixel ratio, so it is drawn at the
// screen's own resolution; transparent unless an opaque format is asked for (then black).
QImage newBitmap(int w, int h, QImage::Format format = QImage::Format_ARGB32_Premultiplied);

// The images of the market window's title bar and buttons; null for other numbers.
QImage drawMarketBitmap(int id);
} // namespace platform
