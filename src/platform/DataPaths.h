#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// The per-user data folder (the application's local data location). Tests point it at a
// folder of their own.
QString dataDirectory();
void setDataDirectory(const QString& dir);

// The terminal's own folder inside it, created at login-window start ("infovelmora").
QString infoFolder();
// The local announcement page ("Message.html").
QString announcementPagePath();

// The folder holding the program's executable.
QString programFolder();

// The per-user configuration folder that holds the settings files when no working folder
// is given on the command line.
QString configDirectory();

// The files shipped with the program: <prefix>/share/velmora beside an installed program,
// the source tree's data/ for one run from its build tree, else the first velmora folder of
// the system's data folders. Empty when none exists. Tests point it at a folder of their own.
QString shippedDataDirectory();
void setShippedDataDirectory(const QString& dir);

struct SeedResult
{
    bool folderReady = false; // the folder exists (or was created)
    QStringList copied;       // names copied from the shipped files
    QStringList missing;      // names neither present nor copied
};

// Creates `dir` when needed and copies each named shipped file that it lacks. A file that is
// there, whatever it holds, is left alone: it is the user's.
SeedResult seedSettingsFolder(const QString& dir, const QStringList& names);

} // namespace platform
