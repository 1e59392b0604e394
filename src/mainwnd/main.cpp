#include <clocale>
#include <cstdio>
#include <filesystem>
#include <optional>

#include <QApplication>
#include <QDir>

#include "app/CVelmoraApp.h"
#include "app/CVelmoraDlg.h"
#include "app/CommandLine.h"
#include "app/MarketWindow.h"
#include "client/Options.h"
#include "client/ServerLine.h"
#include "client/SettingsFolder.h"
#include "mainwnd/Transaction_Dlg.h"
#include "market/ColumnFile.h"
#include "platform/DataPaths.h"
#include "platform/Dialogs.h"
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

// Settles the folder of the settings files and enters it: --workdir as given, else the
// per-user configuration folder, seeded with the shipped column files it lacks. Every
// settings file is read and written there (client::settingsFolder()). Nothing when a
// --workdir cannot be entered.
std::optional<client::SettingsFolder> settleSettingsFolder(const client::Options& options)
{
    if (!options.workDir.empty()) {
        if (QDir::setCurrent(QString::fromStdString(options.workDir)))
            return client::SettingsFolder(QDir::currentPath().toStdString());
        std::fprintf(stderr, "velmora: cannot enter %s\n", options.workDir.c_str());
        return std::nullopt;
    }
    const QString dir = platform::configDirectory();
    const platform::SeedResult seeded = platform::seedSettingsFolder(
        dir, {QString::fromUtf8(market::kCatalogueFileName), QString::fromUtf8(market::kCurrentColumnFileName)});
    // Without the folder the terminal still runs; the overview names what it could not read.
    if (!seeded.folderReady || !QDir::setCurrent(dir))
        std::fprintf(stderr, "velmora: cannot use the settings folder %s\n", qPrintable(dir));
    return client::SettingsFolder(dir.toStdString());
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
    // Qt has just set the C library's locale from the environment. Numbers are read and
    // printed locale-free throughout; this keeps any library call that is not from printing
    // "12,50" in a German session as well.
    std::setlocale(LC_NUMERIC, "C");
    nameApplication();
    QGuiApplication::setDesktopFileName(QStringLiteral("velmora"));

    const app::CommandLine commandLine = app::parseCommandLine(QCoreApplication::arguments());
    if (commandLine.action != app::CommandLineAction::Run)
        return app::answerCommandLine(commandLine);
    session.setOptions(commandLine.options);
    const std::optional<client::SettingsFolder> settings = settleSettingsFolder(commandLine.options);
    if (!settings)
        return app::kExitRefused;
    session.setSettingsDir(settings->dir());
    if (commandLine.options.trace)
        platform::enableTrace(true);

    if (const std::filesystem::path failed = client::LoadLineChoice(settings->dir()); !failed.empty())
        platform::messageBox(nullptr, QString::fromStdString(client::lineChoiceProblemText(failed)),
                             platform::MsgButtons::Ok, platform::MsgIcon::Warning);
    app::setMarketWindowFactory([](CVelmoraDlg* owner) { return new Transaction_Dlg(owner); });
    return CVelmoraApp().run();
}
