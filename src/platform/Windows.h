#pragma once

#include <QPainterPath>
#include <QRect>

class QEvent;
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

// Gives a top-level window that has an owner a taskbar entry of its own: a transient of
// its owner has none on many desktops, and no way back from minimised once the owner is
// hidden. Call it as the window is shown (its native window exists then).
void giveTaskbarButton(QWidget* window);

// A field's loss of focus that the user made within the window (Tab, a click). Another
// window taking the focus (a message box, a date picker's calendar) is not the user
// leaving the field, and must not set off what leaving it does.
bool leftByUser(const QEvent* event);

// Whether `event` is the user's key, button or wheel input.
bool isUserInput(const QEvent* event);
// Drops the key presses and clicks that queued up while the GUI thread waited on a
// request: made during a freeze, they were aimed at a screen the user could not see change,
// and delivered late they would act twice (a second order out of one double click).
void discardQueuedInput();

// Places a top-level window at a screen rectangle given by its corners.
void placeAt(QWidget* window, const QRect& screenRect);

} // namespace platform
