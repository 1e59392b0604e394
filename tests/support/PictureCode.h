#pragma once

#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QScreen>
#include <QString>
#include <QWidget>

#include "app/VerificationCode.h"
#include "support/Pixels.h"

namespace testsupport {

// The window as the screen shows it now: the platform's copy, not a fresh paint (a grab()
// would paint the window again and so change what it is asked about).
inline QImage OnScreen(QWidget& window)
{
    return window.screen()->grabWindow(window.winId()).toImage();
}

// The four digits of a login window's picture code, read off the image by their colours as
// a person reads them; '?' for a place that shows no digit.
inline QString ReadPictureCode(const QImage& shot, const QRect& picture)
{
    QString code;
    for (int i = 0; i < 4; ++i) {
        const QRect place(picture.left() + 18 * i, picture.top(), 18, picture.height());
        int best = 0;
        QChar digit = QLatin1Char('?');
        for (int d = 0; d < 10; ++d) {
            const int n = CountColour(shot, place, app::VerificationDigitColour(d));
            if (n > best) {
                best = n;
                digit = QChar('0' + d);
            }
        }
        code += digit;
    }
    return code;
}

} // namespace testsupport
