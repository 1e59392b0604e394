#pragma once

#include "app/CVelmoraDlg.h"

// The login form a visitor reaches from the market window's trading commands: the login
// window's controls and checks, without update check, browsing or line choice. Closing
// hides it; a successful login fills the user record and hides it.
class LoginDlg final : public CVelmoraDlg
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(LoginDlg)

public:
    explicit LoginDlg(QWidget* marketWindow) : CVelmoraDlg(marketWindow, Relogin{}) {}
};
