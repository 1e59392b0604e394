#include "platform/DataPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace platform {

namespace {
QString& dataDirOverride()
{
    static QString dir;
    return dir;
}
} // namespace

QString dataDirectory()
{
    if (!dataDirOverride().isEmpty())
        return dataDirOverride();
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return dir.isEmpty() ? QDir::homePath() + QStringLiteral("/.velmora") : dir;
}

void setDataDirectory(const QString& dir) { dataDirOverride() = dir; }

QString infoFolder() { return QDir(dataDirectory()).filePath(QStringLiteral("infovelmora")); }

QString announcementPagePath() { return QDir(dataDirectory()).filePath(QStringLiteral("Message.html")); }

QString programFolder() { return QCoreApplication::applicationDirPath(); }

} // namespace platform
