#include "controls/ColumnWidths.h"

#include <json/value.h>
#include <json/writer.h>

#include "client/ApiReply.h"
#include "client/CodePage.h"
#include "client/SettingsFolder.h"

namespace controls {

std::optional<ColumnWidthChoices> parseColumnWidths(std::string_view bytes)
{
    Json::Value root;
    if (!client::parseJson(client::localFileToUtf8(bytes), root) || !root.isObject())
        return std::nullopt;
    ColumnWidthChoices choices;
    for (const std::string& list : root.getMemberNames()) {
        const Json::Value& columns = root[list];
        if (!columns.isObject())
            continue;
        ListWidths widths;
        for (const std::string& caption : columns.getMemberNames()) {
            const Json::Value& w = columns[caption];
            // isInt64 first: asLargestInt throws for a whole number past 64 bits.
            if (w.isIntegral() && w.isInt64() && w.asLargestInt() >= kMinColumnWidth && w.asLargestInt() <= kMaxColumnWidth)
                widths[caption] = int(w.asLargestInt());
        }
        if (!widths.empty())
            choices[list] = std::move(widths);
    }
    return choices;
}

std::string columnWidthsText(const ColumnWidthChoices& choices)
{
    Json::Value root(Json::objectValue);
    for (const auto& [list, widths] : choices) {
        Json::Value& columns = root[list];
        columns = Json::Value(Json::objectValue);
        for (const auto& [caption, width] : widths)
            columns[caption] = width;
    }
    Json::StyledWriter writer;
    return writer.write(root);
}

ColumnWidthFile readColumnWidths(const std::filesystem::path& dir)
{
    client::SettingsRead<ColumnWidthChoices> read = client::SettingsFolder(dir).read(kColumnWidthsFile, parseColumnWidths);
    return {std::move(read.value).value_or(ColumnWidthChoices{}), std::move(read.failed)};
}

std::string columnWidthsProblemText(const std::filesystem::path& failed)
{
    return client::settingsProblemText("列宽设置文件", failed, "本次使用默认列宽，该文件未作改动。");
}

StoreResult storeListWidths(const std::filesystem::path& dir, const std::string& list, const ListWidths& widths)
{
    ColumnWidthFile file = readColumnWidths(dir);
    const auto it = file.choices.find(list);
    if (widths.empty()) {
        if (it == file.choices.end())
            return StoreResult::Unchanged;
        file.choices.erase(it);
    } else {
        if (it != file.choices.end() && it->second == widths && file.failed.empty())
            return StoreResult::Unchanged;
        file.choices[list] = widths;
    }
    return client::SettingsFolder(dir).write(kColumnWidthsFile, columnWidthsText(file.choices)) ? StoreResult::Stored : StoreResult::Failed;
}

} // namespace controls
