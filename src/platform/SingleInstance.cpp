#include "platform/SingleInstance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace platform {

namespace {
// Per process: where the instance lock lives (tests move it).
QString& lockDirOverride()
{
    static QString dir;
    return dir;
}
} // namespace

QString lockDirectory()
{
    if (!lockDirOverride().isEmpty())
        return lockDirOverride();
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return dir.isEmpty() ? QDir::tempPath() : dir;
}

void setLockDirectory(const QString& dir) { lockDirOverride() = dir; }

SingleInstance::SingleInstance(const QString& name)
{
    const QString dir = lockDirectory();
    QDir().mkpath(dir);
    m_lock = std::make_unique<QLockFile>(QDir(dir).filePath(name + QStringLiteral(".lock")));
    // Age alone never makes a lock stale: only a holder that is no longer running does.
    m_lock->setStaleLockTime(0);
    m_acquired = m_lock->tryLock(0);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::path() const { return m_lock ? m_lock->fileName() : QString(); }

} // namespace platform
