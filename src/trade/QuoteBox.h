#pragma once

#include <QColor>
#include <QFont>
#include <QRect>

class QPainter;

namespace market {
struct SingleItemQuote;
}

// The five-level quote box of the order windows.
namespace trade {

// A level or the latest price against the item's reference price: rise above, fall
// below, neutral when equal or when there is no price (shown "--").
QColor quotePriceColour(double price, double reference);
// The change: rise above zero, the volume colour below, neutral at zero.
QColor quoteChangeColour(double change);

// Draws the box in `box` (the window's coordinates): sell levels 5 to 1, the latest price
// and change, buy levels 1 to 5, the limits. Without a quote every value is "--".
void drawQuoteBox(QPainter& p, const QRect& box, const market::SingleItemQuote* quote, const QFont& font);

} // namespace trade
