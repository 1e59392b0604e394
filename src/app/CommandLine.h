#pragma once

#include <QString>
#include <QStringList>

#include "client/Options.h"

namespace app {

enum class CommandLineAction { Run, Help, Version, Refused };

struct CommandLine
{
    CommandLineAction action = CommandLineAction::Run;
    client::Options options;
    QString text; // the help or version text, or why the command line was refused
};

// Exit statuses of a command line that does not start the terminal.
inline constexpr int kExitHelp = 0;
inline constexpr int kExitRefused = 2;

// The terminal's command line (the first argument is the program; Qt's own options already
// taken out). Help and version win over anything else on the line, so they can be answered
// before the window system is reached, whatever else was typed.
CommandLine parseCommandLine(const QStringList& arguments);

// Whether the raw arguments ask for help or the version: those need no display.
bool asksForHelpOrVersion(const QStringList& arguments);

// Prints the help or version to standard output, or the refusal with a hint to standard
// error; returns the exit status. Nothing is printed for Run.
int answerCommandLine(const CommandLine& commandLine);

} // namespace app
