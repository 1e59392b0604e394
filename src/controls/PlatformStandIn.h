#pragma once

#include <functional>

#include <QFont>
#include <QImage>
#include <QMessageBox>
#include <QString>

class QWidget;

// Stand-ins for the platform layer's message box and fonts, with the same shape, until
// that layer lands; then these forward to it and callers stay as they are.
namespace controls::standin {

inline const QString kCaption = QStringLiteral("Velmora");

// A message box captioned "Velmora"; returns the button pressed.
QMessageBox::StandardButton messageBox(QWidget* parent, const QString& text,
                                       QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                       QMessageBox::Icon icon = QMessageBox::Information,
                                       const QString& caption = kCaption);

// Tests replace the modal box: the handler sees the text and answers for the user.
using MessageBoxHandler = std::function<QMessageBox::StandardButton(const QString& text, const QString& caption,
                                                                    QMessageBox::StandardButtons buttons,
                                                                    QMessageBox::Icon icon)>;
void setMessageBoxHandler(MessageBoxHandler handler);

// A font by face name and height in pixels.
QFont font(const QString& face, int pixelHeight);

// A close-button image until the project's bitmaps land (state 0 normal, 1 hover, 2 pressed).
QImage closeButtonImage(int state);

} // namespace controls::standin
