#pragma once

#include <cstdlib>

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

} // namespace testsupport
