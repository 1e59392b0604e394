#include "platform/SaveFile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/Dialogs.h"

namespace platform {

bool saveWholeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // commit() of Qt 6.4 does not notice a flush cut short (a full disk): it would rename a
    // truncated file over the old one. Flushing here first catches it.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QString saveFailedText(const QString& path)
{
    return QStringLiteral("保存文件失败：%1").arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

void reportSaveFailed(QWidget* parent, const QString& path)
{
    messageBox(parent, saveFailedText(path), MsgButtons::Ok, MsgIcon::Warning);
}

} // namespace platform
