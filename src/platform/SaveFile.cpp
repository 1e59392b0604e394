#include "platform/SaveFile.h"

#include <QDir>
#include <QFileInfo>

#include "platform/Dialogs.h"

namespace platform {

QString saveFailedText(const QString& path)
{
    return QStringLiteral("保存文件失败：%1").arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

void reportSaveFailed(QWidget* parent, const QString& path)
{
    messageBox(parent, saveFailedText(path), MsgButtons::Ok, MsgIcon::Warning);
}

} // namespace platform
