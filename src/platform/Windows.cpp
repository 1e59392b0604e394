#include "platform/Windows.h"

#include <QRegion>
#include <QWidget>
#include <QWindow>

namespace platform {

void dragWindow(QWidget* window)
{
    if (!window)
        return;
    if (QWindow* handle = window->window()->windowHandle())
        handle->startSystemMove(); // false where the platform cannot (offscreen): no harm
}

void setRoundedRegion(QWidget* window, int ellipseW, int ellipseH)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(window->rect()), ellipseW / 2.0, ellipseH / 2.0);
    window->setMask(QRegion(path.toFillPolygon().toPolygon()));
}

void giveTaskbarButton(QWidget* window)
{
    if (QWindow* handle = window ? window->windowHandle() : nullptr)
        handle->setTransientParent(nullptr);
}

void placeAt(QWidget* window, const QRect& screenRect) { window->setGeometry(screenRect); }

} // namespace platform
