#include "platform/WorkArea.h"

#include <optional>

#include <QGuiApplication>
#include <QScreen>

namespace platform {

namespace {
// Per process: the screen's work area, read once (tests set it).
std::optional<QRect>& cached()
{
    static std::optional<QRect> area;
    return area;
}
} // namespace

QRect workArea()
{
    if (!cached()) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        cached() = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
    }
    return *cached();
}

void setWorkArea(const QRect& area) { cached() = area; }

} // namespace platform
