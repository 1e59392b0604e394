#pragma once

#include <algorithm>
#include <cstdlib>
#include <vector>

#include <QColor>
#include <QImage>
#include <QRect>

namespace testsupport {

// Pixels of exactly `colour` inside `area` (clipped to the image).
inline int CountColour(const QImage& image, const QRect& area, QColor colour)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (image.pixelColor(x, y) == colour)
                ++n;
    return n;
}

// Pixels within `tolerance` of `colour` in each channel: antialiased text rarely lands on
// the exact colour.
inline int CountNear(const QImage& image, const QRect& area, QColor colour, int tolerance = 24)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - colour.red()) <= tolerance && std::abs(c.green() - colour.green()) <= tolerance
                && std::abs(c.blue() - colour.blue()) <= tolerance)
                ++n;
        }
    return n;
}

// Whether text in `colour` stands within `area`, on the ground found at its top-left corner.
// Small antialiased glyphs seldom cover a pixel whole, so a pixel counts when it lies on the
// way from the ground to the colour, at least half-way, by the same share in every channel.
inline bool HasTextInColour(const QImage& image, const QRect& area, QColor colour)
{
    const QColor ground = image.pixelColor(area.topLeft());
    const int want[3] = {colour.red(), colour.green(), colour.blue()};
    const int base[3] = {ground.red(), ground.green(), ground.blue()};
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int got[3] = {c.red(), c.green(), c.blue()};
            double low = 1.0, high = 0.0;
            bool fits = true;
            for (int ch = 0; ch < 3 && fits; ++ch) {
                const int span = want[ch] - base[ch];
                if (std::abs(span) < 24) {
                    fits = std::abs(got[ch] - base[ch]) <= 24;
                    continue;
                }
                const double share = double(got[ch] - base[ch]) / span;
                low = std::min(low, share);
                high = std::max(high, share);
            }
            if (fits && low >= 0.5 && high - low <= 0.2)
                return true;
        }
    }
    return false;
}

// Whether two images of one size agree in every pixel outside the `except` rectangles, given
// in logical pixels of the images' device pixel ratio.
inline bool SameOutside(const QImage& a, const QImage& b, const std::vector<QRect>& except)
{
    if (a.size() != b.size())
        return false;
    const qreal ratio = a.devicePixelRatio();
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            if ((a.pixel(x, y) & 0xffffff) == (b.pixel(x, y) & 0xffffff))
                continue;
            const QPoint logical(int(x / ratio), int(y / ratio));
            if (std::none_of(except.begin(), except.end(), [&](const QRect& r) { return r.contains(logical); }))
                return false;
        }
    return true;
}

} // namespace testsupport
