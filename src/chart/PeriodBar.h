#pragma once

#include <array>

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

namespace chart {

// The candle period bar of the market window: twelve 60 x 28 cells at (28, 77).
class PeriodBar final
{
public:
    using Flags = std::array<int, 12>;
    static constexpr QPoint kOrigin{28, 77};
    static constexpr int kCellWidth = 60;
    static constexpr int kCellHeight = 28;

    // The bar's area in the window, (28, 77)-(748, 105).
    static QRect Area();
    // The cell label of period code n (1..12): "分笔" ... "年线".
    static QString Label(int periodCode);
    // Flags after a press at `point` (window coordinates): the cell hit is set, all others clear.
    static Flags flagsForPress(QPoint point);
    // The period code of the first set flag; 8 (daily) when none is set.
    static int PeriodCode(const Flags& flags);
    // The bar's image, workAreaWidth - 348 logical pixels wide, drawn at the given device
    // pixel ratio, for copying to the window at kOrigin.
    static QImage Render(int workAreaWidth, const Flags& flags, const QFont& font, qreal devicePixelRatio = 1.0);
};

} // namespace chart
