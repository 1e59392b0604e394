#pragma once

#include <QPainterPath>
#include <QRect>

class QWidget;

namespace platform {

// A rectangle given by its edges as the layouts are written: left and top inside, right and
// bottom just outside.
inline QRect edges(int left, int top, int right, int bottom)
{
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// Starts moving the window under the pointer (the drag by a borderless window's free area).
void dragWindow(QWidget* window);

// Gives the window rounded corners of the given ellipse size.
void setRoundedRegion(QWidget* window, int ellipseW, int ellipseH);

// Places a top-level window at a screen rectangle given by its corners.
void placeAt(QWidget* window, const QRect& screenRect);

} // namespace platform
