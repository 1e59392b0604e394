#include <cstdio>
#include <string>
#include <vector>

#include <QApplication>
#include <QDir>

#include "app/CVelmoraApp.h"
#include "app/CVelmoraDlg.h"
#include "app/MarketWindow.h"
#include "app/UserSession.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "mainwnd/Transaction_Dlg.h"
#include "market/Pollers.h"
#include "platform/Trace.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv); // takes Qt's own arguments first
    QCoreApplication::setOrganizationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationName(QStringLiteral("velmora"));

    std::vector<std::string> args;
    const QStringList qtArgs = QCoreApplication::arguments();
    for (qsizetype i = 1; i < qtArgs.size(); ++i)
        args.push_back(qtArgs[i].toStdString());
    const client::OptionsResult parsed = client::ParseOptions(args);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "velmora: %s\n", parsed.error.c_str());
        return 2;
    }
    client::SetCurrentOptions(parsed.options);
    if (!parsed.options.workDir.empty() && !QDir::setCurrent(QString::fromStdString(parsed.options.workDir))) {
        std::fprintf(stderr, "velmora: cannot enter %s\n", parsed.options.workDir.c_str());
        return 2;
    }
    if (parsed.options.trace)
        platform::enableTrace(true);

    client::LoadLineChoice();
    market::SetSessionSource([] {
        const UserSession& session = UserSession::instance();
        return market::SessionView{session.loggedIn(), session.id()};
    });
    app::setMarketWindowFactory([](CVelmoraDlg* owner) { return new Transaction_Dlg(owner); });
    return CVelmoraApp().run();
}
