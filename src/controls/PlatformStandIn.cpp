#include "controls/PlatformStandIn.h"

#include <algorithm>
#include <mutex>

#include <QPainter>

namespace controls::standin {

namespace {
std::mutex g_handlerMutex;
MessageBoxHandler g_handler;
} // namespace

QMessageBox::StandardButton messageBox(QWidget* parent, const QString& text, QMessageBox::StandardButtons buttons,
                                       QMessageBox::Icon icon, const QString& caption)
{
    MessageBoxHandler handler;
    {
        std::lock_guard lock(g_handlerMutex);
        handler = g_handler;
    }
    if (handler)
        return handler(text, caption, buttons, icon);
    QMessageBox box(icon, caption, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void setMessageBoxHandler(MessageBoxHandler handler)
{
    std::lock_guard lock(g_handlerMutex);
    g_handler = std::move(handler);
}

QFont font(const QString& face, int pixelHeight)
{
    // The windows give font heights as character cells, as the original toolkit took them;
    // the glyphs themselves take about seven eighths of the cell.
    const bool latin = face == QLatin1String("Arial");
    QFont f(face);
    f.setFamilies(latin ? QStringList{face, QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans Condensed"),
                                      QStringLiteral("DejaVu Sans")}
                        : QStringList{face, QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                                      QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("DejaVu Sans")});
    f.setPixelSize(std::max(1, pixelHeight * 7 / 8));
    return f;
}

QImage closeButtonImage(int state)
{
    static const QColor fills[] = {QColor(64, 64, 64), QColor(200, 60, 60), QColor(150, 40, 40)};
    QImage image(34, 28, QImage::Format_RGB32);
    image.fill(fills[state < 0 || state > 2 ? 0 : state]);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(240, 240, 240), 2));
    p.drawLine(12, 9, 22, 19);
    p.drawLine(22, 9, 12, 19);
    return image;
}

} // namespace controls::standin
