#include "support/TerminalSession.h"

#include <ctime>

#include <QLineEdit>

#include "app/CVelmoraDlg.h"
#include "app/MarketWindow.h"
#include "session/Session.h"
#include "app/VerificationCode.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "mainwnd/Transaction_Dlg.h"
#include "market/core/Pollers.h"

namespace testsupport {

void pointTerminalAt(const std::string& host)
{
    client::Options o = client::defaultOptions();
    o.line0Host = host;
    o.updateHost = host + ":8090";
    Session::current().setOptions(o);
    client::LoadLineChoice();
    app::setMarketWindowFactory([](CVelmoraDlg* owner) { return new Transaction_Dlg(owner); });
    app::setCodeClock([] { return std::time_t(1700000000); });
}

Transaction_Dlg* logIn(CVelmoraDlg& login, const char* account, const char* password)
{
    auto field = [&](int id) { return login.findChild<QLineEdit*>(QString::number(id)); };
    field(CVelmoraDlg::kAccountPlain)->setText(QString::fromUtf8(account));
    field(CVelmoraDlg::kPassword)->setText(QString::fromUtf8(password));
    field(CVelmoraDlg::kCode)->setText(login.verificationCode());
    login.onLogin();
    if (!Session::current().loggedIn())
        return nullptr;
    return qobject_cast<Transaction_Dlg*>(login.marketWindow());
}

} // namespace testsupport
