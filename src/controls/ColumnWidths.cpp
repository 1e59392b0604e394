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

namespace {

constexpr const char* kSortMember = "sort";
constexpr const char* kDescending = "descending";
constexpr const char* kAscending = "ascending";

bool saveChoices(const std::filesystem::path& dir, const ColumnWidthFile& file)
{
    return client::SettingsFolder(dir).write(kColumnWidthsFile, withListSorts(columnWidthsText(file.choices), file.sorts));
}

} // namespace

SortChoices parseListSorts(std::string_view bytes)
{
    SortChoices sorts;
    Json::Value root;
    if (!client::parseJson(client::localFileToUtf8(bytes), root) || !root.isObject() || !root[kSortMember].isObject())
        return sorts;
    const Json::Value& lists = root[kSortMember];
    for (const std::string& list : lists.getMemberNames()) {
        const Json::Value& sort = lists[list];
        if (!sort.isObject() || !sort["column"].isString() || !sort["order"].isString())
            continue;
        const std::string order = sort["order"].asString();
        if (sort["column"].asString().empty() || (order != kDescending && order != kAscending))
            continue;
        sorts[list] = {sort["column"].asString(), order == kDescending};
    }
    return sorts;
}

std::string withListSorts(const std::string& widthsText, const SortChoices& sorts)
{
    if (sorts.empty())
        return widthsText;
    Json::Value root;
    if (!client::parseJson(widthsText, root) || !root.isObject())
        root = Json::Value(Json::objectValue);
    Json::Value& lists = root[kSortMember];
    lists = Json::Value(Json::objectValue);
    for (const auto& [list, sort] : sorts) {
        lists[list]["column"] = sort.caption;
        lists[list]["order"] = sort.descending ? kDescending : kAscending;
    }
    Json::StyledWriter writer;
    return writer.write(root);
}

ColumnWidthFile readColumnWidths(const std::filesystem::path& dir)
{
    struct Parsed
    {
        ColumnWidthChoices choices;
        SortChoices sorts;
    };
    client::SettingsRead<Parsed> read = client::SettingsFolder(dir).read(
        kColumnWidthsFile, [](std::string_view bytes) -> std::optional<Parsed> {
            std::optional<ColumnWidthChoices> choices = parseColumnWidths(bytes);
            if (!choices)
                return std::nullopt;
            return Parsed{std::move(*choices), parseListSorts(bytes)};
        });
    ColumnWidthFile result;
    if (read.value) {
        result.choices = std::move(read.value->choices);
        result.sorts = std::move(read.value->sorts);
    }
    result.failed = std::move(read.failed);
    return result;
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
    return saveChoices(dir, file) ? StoreResult::Stored : StoreResult::Failed;
}

StoreResult storeListSort(const std::filesystem::path& dir, const std::string& list,
                          const std::optional<ColumnSort>& sort)
{
    ColumnWidthFile file = readColumnWidths(dir);
    const auto it = file.sorts.find(list);
    if (!sort) {
        if (it == file.sorts.end())
            return StoreResult::Unchanged;
        file.sorts.erase(it);
    } else {
        if (it != file.sorts.end() && it->second == *sort && file.failed.empty())
            return StoreResult::Unchanged;
        file.sorts[list] = *sort;
    }
    return saveChoices(dir, file) ? StoreResult::Stored : StoreResult::Failed;
}

} // namespace controls
