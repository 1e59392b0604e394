#pragma once

#include <vector>

#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QString>

#include "chart/ChartColour.h"
#include "chart/Drawings.h"

namespace chart {

// A text's pixels as the font lays it out at a device pixel ratio: runs along its rows,
// in device pixels from its top-left corner. Laid out once, written at every draw.
struct TextPixels
{
    struct Run
    {
        int y = 0;
        int x = 0;
        int length = 0;
        bool operator==(const Run&) const = default;
    };
    std::vector<Run> runs;
    int width = 0; // device pixels
    int height = 0;
    qreal ratio = 1;
};
// A font drawn without smoothing gives whole pixels; a smoothed one's pixels of at least half
// cover are kept.
TextPixels textPixels(const QString& text, const QFont& font, qreal ratio);

// Writes lines, fills and laid-out text straight into the pixels of a 32-bit image, inside a
// clip rectangle. Coordinates are logical pixels at the image's device pixel ratio; a line is
// one device pixel thick. The trader's drawings are written through it: the painter's line
// stroker spends some nanoseconds on each pixel and looks a text's glyphs up at every draw,
// and fifty drawings drawn again with every frame of a scroll must cost little next to the
// chart under them.
class PixelWriter
{
public:
    // Writes nothing into an image of another depth.
    PixelWriter(QImage& image, const QRect& clip);
    void setClip(const QRect& clip);
    // Writes only the pixels inside `r` too, while lines keep the pixels the clip alone gives
    // them: a part drawn again matches what is around it.
    void limitWrites(const QRect& r);

    // From a to b, both ends included; dashes of 4 pixels and 2 apart, dots 1 and 2 apart.
    void line(QPointF a, QPointF b, Colour colour, LineStyle style = LineStyle::Solid);
    void fill(const QRectF& r, Colour colour);
    // The rectangle's edges, corners given in any order.
    void outline(QPointF a, QPointF b, Colour colour, LineStyle style);
    // The text with its top-left corner at `topLeft`.
    void text(QPointF topLeft, const TextPixels& text, Colour colour);

private:
    int device(qreal logical) const;
    QRect device(const QRect& logical) const;

    uchar* m_bits = nullptr;
    qsizetype m_stride = 0;
    QRect m_bounds; // the image's device pixels
    QRect m_clip;   // device pixels, within the bounds
    QRect m_writes; // device pixels, within the clip
    qreal m_ratio = 1;
};

} // namespace chart
