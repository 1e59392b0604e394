#pragma once

#include <string>

class CVelmoraDlg;
class Transaction_Dlg;

namespace testsupport {

// The whole terminal pointed at an exchange on `host` (line 0, update host on port 8090):
// options and line, the session the pollers read, the market window the login opens, a
// fixed picture-code clock. Call once QApplication exists, before the first window.
void pointTerminalAt(const std::string& host);

// Fills `login` with the account, password and picture code and logs in as a user would;
// the market window it opened, or nullptr when the login failed.
Transaction_Dlg* logIn(CVelmoraDlg& login, const char* account = "100001", const char* password = "123456");

} // namespace testsupport
