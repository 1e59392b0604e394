#pragma once

#include <QPainterPath>
#include <QRect>

class QWidget;

namespace platform {

// Starts moving the window under the pointer (the drag by a borderless window's free area).
void dragWindow(QWidget* window);

// Gives the window rounded corners of the given ellipse size.
void setRoundedRegion(QWidget* window, int ellipseW, int ellipseH);

// Places a top-level window at a screen rectangle given by its corners.
void placeAt(QWidget* window, const QRect& screenRect);

} // namespace platform
