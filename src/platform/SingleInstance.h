#pragma once

#include <memory>

#include <QString>

class QLockFile;

namespace platform {

// A lock named across the user's session: held while the object lives. A lock left by a
// process that died is taken over.
class SingleInstance final
{
public:
    explicit SingleInstance(const QString& name);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // False when another live process (or another object here) holds the name.
    bool acquired() const { return m_acquired; }
    QString path() const;

private:
    std::unique_ptr<QLockFile> m_lock;
    bool m_acquired = false;
};

// The folder holding the locks: the runtime folder, or the temporary folder without one.
// Tests point it at a folder of their own.
QString lockDirectory();
void setLockDirectory(const QString& dir);

} // namespace platform
