#include "platform/DataPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace platform {

namespace {
// Per process: where the folders are, chosen before the first window (tests move them).
QString& dataDirOverride()
{
    static QString dir;
    return dir;
}

QString& shippedDirOverride()
{
    static QString dir;
    return dir;
}

bool isDirectory(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }

#if defined(VELMORA_BINARY_DIR) && defined(VELMORA_SOURCE_DATA_DIR)
// Whether `path` lies inside `folder` (both absolute).
bool isInside(const QString& path, const QString& folder)
{
    const QString f = QDir::cleanPath(folder);
    const QString p = QDir::cleanPath(path);
    return p == f || p.startsWith(f + QLatin1Char('/'));
}
#endif
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

QString configDirectory()
{
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return dir.isEmpty() ? QDir::homePath() + QStringLiteral("/.config/velmora") : dir;
}

QString shippedDataDirectory()
{
    if (!shippedDirOverride().isEmpty())
        return shippedDirOverride();
    const QString program = programFolder();
    // Relative to the program first, so an installation under any prefix (or a package
    // unpacked anywhere) finds its own files rather than another installation's.
    const QString beside = QDir::cleanPath(program + QStringLiteral("/../share/velmora"));
    if (isDirectory(beside))
        return beside;
#if defined(VELMORA_BINARY_DIR) && defined(VELMORA_SOURCE_DATA_DIR)
    if (isInside(program, QStringLiteral(VELMORA_BINARY_DIR)) && isDirectory(QStringLiteral(VELMORA_SOURCE_DATA_DIR)))
        return QStringLiteral(VELMORA_SOURCE_DATA_DIR);
#endif
    return QStandardPaths::locate(QStandardPaths::GenericDataLocation, QStringLiteral("velmora"),
                                  QStandardPaths::LocateDirectory);
}

void setShippedDataDirectory(const QString& dir) { shippedDirOverride() = dir; }

SeedResult seedSettingsFolder(const QString& dir, const QStringList& names)
{
    SeedResult result;
    result.folderReady = QDir().mkpath(dir);
    const QString shipped = shippedDataDirectory();
    for (const QString& name : names) {
        const QString target = QDir(dir).filePath(name);
        if (QFileInfo::exists(target))
            continue;
        const QString source = shipped.isEmpty() ? QString() : QDir(shipped).filePath(name);
        if (result.folderReady && !source.isEmpty() && QFile::copy(source, target)) {
            // Installed files are read-only; the user's copy must not be.
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
            result.copied << name;
        } else {
            result.missing << name;
        }
    }
    return result;
}

} // namespace platform
