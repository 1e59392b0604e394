#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

#include "support/Pixels.h"

// Text drawing needs a GUI application; the offscreen platform provides one without a screen.
void EnsureGuiApplication();

using testsupport::CountColour;
// Pixels in the area that are neither black nor one of the frame and grid greys.
int CountInk(const QImage& image, const QRect& area);
