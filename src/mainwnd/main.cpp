#include <cstdio>

#include <QApplication>
#include <QDir>

#include "app/CVelmoraApp.h"
#include "app/CVelmoraDlg.h"
#include "app/CommandLine.h"
#include "app/MarketWindow.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "mainwnd/Transaction_Dlg.h"
#include "market/ColumnFile.h"
#include "platform/DataPaths.h"
#include "platform/Trace.h"
#include "session/Config.h"
#include "session/Session.h"

namespace {

void nameApplication()
{
    // These decide the per-user folders (~/.config/Velmora/velmora, ~/.local/share/Velmora/velmora).
    QCoreApplication::setOrganizationName(QStringLiteral("Velmora"));
    QCoreApplication::setApplicationName(QStringLiteral("velmora"));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(client::defaults::kProgramVersion));
}

QStringList rawArguments(int argc, char** argv)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

// Enters the folder of the settings files: --workdir as given, else the per-user
// configuration folder, seeded with the shipped column files it lacks. False when a
// --workdir cannot be entered.
bool enterSettingsFolder(const client::Options& options)
{
    if (!options.workDir.empty()) {
        if (QDir::setCurrent(QString::fromStdString(options.workDir)))
            return true;
        std::fprintf(stderr, "velmora: cannot enter %s\n", options.workDir.c_str());
        return false;
    }
    const QString dir = platform::configDirectory();
    const platform::SeedResult seeded = platform::seedSettingsFolder(
        dir, {QString::fromUtf8(market::kCatalogueFileName), QString::fromUtf8(market::kCurrentColumnFileName)});
    // Without the folder the terminal still runs; the overview names what it could not read.
    if (!seeded.folderReady || !QDir::setCurrent(dir))
        std::fprintf(stderr, "velmora: cannot use the settings folder %s\n", qPrintable(dir));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    // Help and the version need no display: answered before the window system is reached.
    if (app::asksForHelpOrVersion(rawArguments(argc, argv))) {
        QCoreApplication core(argc, argv);
        nameApplication();
        return app::answerCommandLine(app::parseCommandLine(QCoreApplication::arguments()));
    }

    Session session; // the program's state beyond one window, for as long as it runs
    QApplication application(argc, argv); // takes Qt's own arguments first
    nameApplication();
    QGuiApplication::setDesktopFileName(QStringLiteral("velmora"));

    const app::CommandLine commandLine = app::parseCommandLine(QCoreApplication::arguments());
    if (commandLine.action != app::CommandLineAction::Run)
        return app::answerCommandLine(commandLine);
    session.setOptions(commandLine.options);
    if (!enterSettingsFolder(commandLine.options))
        return app::kExitRefused;
    if (commandLine.options.trace)
        platform::enableTrace(true);

    client::LoadLineChoice();
    app::setMarketWindowFactory([](CVelmoraDlg* owner) { return new Transaction_Dlg(owner); });
    return CVelmoraApp().run();
}
