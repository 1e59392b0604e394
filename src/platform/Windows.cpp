#include "platform/Windows.h"

#include <QCoreApplication>
#include <QFocusEvent>
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

bool leftByUser(const QEvent* event)
{
    if (event->type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason reason = static_cast<const QFocusEvent*>(event)->reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

bool isUserInput(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

namespace {

class InputSink final : public QObject
{
public:
    bool eventFilter(QObject*, QEvent* event) override { return isUserInput(event); }
};

} // namespace

void discardQueuedInput()
{
    InputSink sink;
    qApp->installEventFilter(&sink);
    // Posted input first, then what the window system holds; both reach the sink.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
    qApp->removeEventFilter(&sink);
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
