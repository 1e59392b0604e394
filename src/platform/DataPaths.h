#pragma once

#include <QString>

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

} // namespace platform
