#pragma once

#include <span>

#include <QFont>
#include <QLine>
#include <QPainter>
#include <QRect>
#include <QString>

#include "chart/ChartColour.h"

// Drawing primitives with the pixel rules the chart layout is computed for: rectangles and
// lines exclude their right and bottom (end) pixels, text is drawn on an opaque background.
// Coordinates are logical pixels. A line or an outline is one device pixel thick whatever
// the image's device pixel ratio, so a high-density screen shows hairlines, not doubled
// ones; filled areas cover their logical rectangle.
namespace chart::gdi {

void FillRect(QPainter& p, int left, int top, int right, int bottom, Colour c);
// 1-pixel outline in `pen`, interior in `brush`; corners given in any order.
void Rectangle(QPainter& p, int left, int top, int right, int bottom, Colour pen, Colour brush);
// The columns left..right of such a rectangle without its side edges: top and bottom edges
// in `pen`, the interior in `brush`. Redraws part of a frame exactly as Rectangle drew it.
void frameBand(QPainter& p, int left, int top, int right, int bottom, Colour pen, Colour brush);
// From (x, y1) towards (x, y2), the end pixel excluded.
void vLine(QPainter& p, int x, int y1, int y2, Colour c);
void hLine(QPainter& p, int x1, int x2, int y, Colour c);
void Line(QPainter& p, int x1, int y1, int x2, int y2, Colour c);
// Many lines of one colour, each drawn as Line draws it, with one pen: a polyline of a
// hundred segments costs one pen change, not a hundred.
void Lines(QPainter& p, std::span<const QLine> lines, Colour c);
// Text with its top-left corner at (x, y).
void textOut(QPainter& p, const QFont& font, int x, int y, const QString& text, Colour fg, Colour bg);
// Text right-aligned to a box, top-aligned, on one line.
void textInBox(QPainter& p, const QFont& font, const QRect& box, const QString& text, Colour fg, Colour bg);

} // namespace chart::gdi
