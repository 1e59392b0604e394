#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

// Text drawing needs a GUI application; the offscreen platform provides one without a screen.
void EnsureGuiApplication();

int CountColour(const QImage& image, const QRect& area, QColor colour);
// Pixels in the area that are neither black nor one of the frame and grid greys.
int CountInk(const QImage& image, const QRect& area);
