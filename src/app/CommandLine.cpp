#include "app/CommandLine.h"

#include <cstdio>
#include <utility>

#include <QCommandLineParser>
#include <QCoreApplication>

namespace app {

namespace {

const QString kProgram = QStringLiteral("velmora");

struct Parser
{
    QCommandLineParser parser;
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version and exit.")};
    QCommandLineOption line0{QStringLiteral("line0-host"), QStringLiteral("Host of line 0 (\"联通\")."),
                             QStringLiteral("HOST")};
    QCommandLineOption line1{QStringLiteral("line1-host"), QStringLiteral("Host of line 1 (\"移动\")."),
                             QStringLiteral("HOST")};
    QCommandLineOption update{QStringLiteral("update-host"),
                              QStringLiteral("Host of the update manifest, with an optional port."),
                              QStringLiteral("HOST[:PORT]")};
    QCommandLineOption key{QStringLiteral("key"),
                           QStringLiteral("Signing key shared with the exchange: 16 ASCII letters and digits."),
                           QStringLiteral("KEY")};
    QCommandLineOption workdir{QStringLiteral("workdir"),
                               QStringLiteral("Folder holding the settings files (default: the per-user "
                                              "configuration folder)."),
                               QStringLiteral("DIR")};
    QCommandLineOption trace{QStringLiteral("trace"), QStringLiteral("Write the velmora.trace debug output.")};
    QCommandLineOption pickupText{QStringLiteral("pickup-text"),
                                  QStringLiteral("The pickup point as the delivery form shows it."),
                                  QStringLiteral("TEXT")};
    QCommandLineOption pickupAddress{QStringLiteral("pickup-address"),
                                     QStringLiteral("The pickup point sent as the address of a pickup delivery."),
                                     QStringLiteral("TEXT")};

    Parser()
    {
        parser.setApplicationDescription(
            QStringLiteral("Velmora: the trading terminal of the wine spot exchange.\n"
                           "Each option also takes the form --name=value."));
        parser.addOptions({help, version, line0, line1, update, key, workdir, trace, pickupText, pickupAddress});
    }
};

QString usageHint() { return QStringLiteral("Try '%1 --help' for the options.").arg(kProgram); }

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
{
    CommandLine result;
    result.options = client::defaultOptions();
    Parser p;
    const bool parsed = p.parser.parse(arguments);
    if (p.parser.isSet(p.help)) {
        result.action = CommandLineAction::Help;
        // The usage line names the program the way it is installed, not the path typed.
        const QString text = p.parser.helpText();
        result.text = QStringLiteral("Usage: %1 [options]").arg(kProgram) + text.mid(text.indexOf(QLatin1Char('\n')));
        return result;
    }
    if (p.parser.isSet(p.version)) {
        result.action = CommandLineAction::Version;
        result.text = kProgram + QLatin1Char(' ') + QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return result;
    }
    auto refuse = [&](const QString& why) {
        result.action = CommandLineAction::Refused;
        result.text = why;
        return result;
    };
    if (!parsed)
        return refuse(p.parser.errorText());
    if (!p.parser.positionalArguments().isEmpty())
        return refuse(QStringLiteral("Unexpected argument '%1'.").arg(p.parser.positionalArguments().first()));

    client::Options& o = result.options;
    const struct
    {
        const QCommandLineOption& option;
        std::string& target;
    } hosts[] = {{p.line0, o.line0Host}, {p.line1, o.line1Host}, {p.update, o.updateHost}};
    for (const auto& h : hosts) {
        if (!p.parser.isSet(h.option))
            continue;
        const std::string value = p.parser.value(h.option).toStdString();
        if (!client::isValidHost(value))
            return refuse(QStringLiteral("--%1: not a host: '%2'.")
                              .arg(h.option.names().first(), QString::fromStdString(value)));
        h.target = value;
    }
    if (p.parser.isSet(p.key)) {
        o.signKey = p.parser.value(p.key).toStdString();
        if (!client::isValidSignKey(o.signKey))
            return refuse(QStringLiteral("--key must be 16 ASCII letters and digits."));
    }
    if (p.parser.isSet(p.workdir)) {
        o.workDir = p.parser.value(p.workdir).toStdString();
        if (o.workDir.empty())
            return refuse(QStringLiteral("--workdir needs a folder."));
    }
    for (const auto& [option, target] : {std::pair{&p.pickupText, &o.pickupText}, {&p.pickupAddress, &o.pickupAddress}}) {
        if (!p.parser.isSet(*option))
            continue;
        *target = p.parser.value(*option).toStdString();
        if (target->empty() || target->find_first_of("\r\n") != std::string::npos)
            return refuse(QStringLiteral("--%1 needs one line of text.").arg(option->names().first()));
    }
    o.trace = p.parser.isSet(p.trace);
    return result;
}

bool asksForHelpOrVersion(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--"))
            break;
        if (a == QLatin1String("-h") || a == QLatin1String("--help") || a == QLatin1String("-v")
            || a == QLatin1String("--version"))
            return true;
    }
    return false;
}

int answerCommandLine(const CommandLine& commandLine)
{
    switch (commandLine.action) {
    case CommandLineAction::Run:
        return 0;
    case CommandLineAction::Help:
    case CommandLineAction::Version:
        std::fputs(commandLine.text.toLocal8Bit().constData(), stdout);
        std::fflush(stdout);
        return kExitHelp;
    case CommandLineAction::Refused:
        std::fprintf(stderr, "%s: %s\n%s\n", qPrintable(kProgram), qPrintable(commandLine.text),
                     qPrintable(usageHint()));
        return kExitRefused;
    }
    return kExitRefused;
}

} // namespace app
