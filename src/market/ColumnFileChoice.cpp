#include "market/ColumnFileChoice.h"

#include <QDir>
#include <QString>

#include "platform/DataPaths.h"
#include "platform/Dialogs.h"
#include "platform/Trace.h"

namespace market {

ColumnFileChoice chooseColumnFile(const std::filesystem::path& dir, const char* name,
                                  const std::filesystem::path& shippedDir)
{
    ColumnFileChoice choice;
    const std::filesystem::path own = dir / name;
    choice.file = loadColumnFile(own);
    // JSON without a single category ("{}", "[]") shows nothing either: as unusable as no JSON.
    if (choice.file && !choice.file->document.categories.empty())
        return choice;
    choice.failed = own;
    if (!shippedDir.empty()) {
        choice.file = loadColumnFile(shippedDir / name);
        choice.shipped = choice.file.has_value();
    }
    return choice;
}

std::string columnFileProblemText(const ColumnFileChoice& choice)
{
    if (choice.failed.empty())
        return {};
    // An absolute path, so the user can find the file whatever folder the program runs in.
    const std::string path = std::filesystem::absolute(choice.failed).lexically_normal().string();
    std::string text = "无法读取列设置文件：\n" + path + "\n";
    if (choice.shipped)
        text += "本次使用软件自带的列设置，该文件未作改动。";
    else
        text += "也找不到软件自带的列设置，行情列表暂无列。";
    return text;
}

ColumnFileChoice readColumnFileOrWarn(const std::filesystem::path& dir, const char* name, QWidget* parent)
{
    const QString shipped = platform::shippedDataDirectory();
    ColumnFileChoice choice = chooseColumnFile(dir, name, shipped.isEmpty() ? std::filesystem::path()
                                                                             : std::filesystem::path(shipped.toStdString()));
    if (!choice.failed.empty()) {
        const QString text = QString::fromStdString(columnFileProblemText(choice));
        qCWarning(lcVelmoraTrace).noquote() << text;
        platform::messageBox(parent, text, platform::MsgButtons::Ok, platform::MsgIcon::Warning);
    }
    return choice;
}

} // namespace market
