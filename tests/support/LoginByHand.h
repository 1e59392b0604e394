#pragma once

#include <QImage>
#include <QLineEdit>
#include <QPixmap>
#include <QRect>
#include <QScreen>
#include <QString>
#include <QTest>
#include <QWidget>

#include "app/CVelmoraDlg.h"
#include "app/VerificationCode.h"
#include "support/Pixels.h"

// A login as a person does it: typing into the boxes and reading the picture code off the
// screen.
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

inline QString ReadPictureCode(CVelmoraDlg& dlg)
{
    return ReadPictureCode(OnScreen(dlg), dlg.codePictureRect());
}

// Types the account and the password into the shown, active window and moves on to the
// code box; the password box losing the focus draws the code the user then reads. Returns
// the code box, or nullptr when the focus did not move.
inline QLineEdit* TypeAccountAndPassword(CVelmoraDlg& dlg, const QString& account, const QString& password)
{
    auto* accountBox = dlg.findChild<QLineEdit*>(QString::number(CVelmoraDlg::kAccountPlain));
    auto* passwordBox = dlg.findChild<QLineEdit*>(QString::number(CVelmoraDlg::kPassword));
    auto* codeBox = dlg.findChild<QLineEdit*>(QString::number(CVelmoraDlg::kCode));
    accountBox->setFocus();
    QTest::keyClicks(accountBox, account);
    passwordBox->setFocus();
    if (!QTest::qWaitFor([&] { return passwordBox->hasFocus(); }))
        return nullptr;
    QTest::keyClicks(passwordBox, password);
    codeBox->setFocus();
    if (!QTest::qWaitFor([&] { return codeBox->hasFocus(); }))
        return nullptr;
    QTest::qWait(0); // the new picture reaches the screen
    return codeBox;
}

// Fills the boxes, the code as the window drew it, and logs in: for tests that are about
// what comes after the login.
inline void LogInDirectly(CVelmoraDlg& dlg, const QString& account, const QString& password)
{
    dlg.findChild<QLineEdit*>(QString::number(CVelmoraDlg::kAccountPlain))->setText(account);
    dlg.findChild<QLineEdit*>(QString::number(CVelmoraDlg::kPassword))->setText(password);
    dlg.findChild<QLineEdit*>(QString::number(CVelmoraDlg::kCode))->setText(dlg.verificationCode());
    dlg.onLogin();
}

} // namespace testsupport
