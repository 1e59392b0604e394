#pragma once

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

} // namespace testsupport
