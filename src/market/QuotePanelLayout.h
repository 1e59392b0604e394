#pragma once

#include <array>

#include <QRect>

namespace market {

// Where the quote panel draws its 28 labels and 38 values, from its client rectangle.
struct QuotePanelLayout
{
    std::array<QRect, 28> labels;
    std::array<QRect, 38> values;
    int quoteBottom = 0; // the quote area ends at the "市值" row; ticks fill the rest

    static QuotePanelLayout compute(const QRect& client);
    // The level row (0 = 卖⑤ … 9 = 买⑤) whose label, price or volume is at `point`; -1 for none.
    int levelRowAt(const QPoint& point) const;
    // The panel's place in the main window for a work area of W × H.
    static QRect placement(int workWidth, int workHeight);
};

} // namespace market
