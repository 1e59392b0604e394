#include "market/core/ChosenItem.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace market {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool containsIgnoringCase(std::string_view text, std::string_view part)
{
    const auto it = std::search(text.begin(), text.end(), part.begin(), part.end(),
                                [](char a, char b) { return lower(a) == lower(b); });
    return it != text.end();
}

} // namespace

std::optional<int> parseChosenItem(std::string_view text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
        text.remove_suffix(1);
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    int code = 0;
    std::from_chars(text.data(), text.data() + text.size(), code); // nine digits always fit
    return code > 0 ? std::optional<int>(code) : std::nullopt;
}

client::SettingsRead<int> readChosenItem(const std::filesystem::path& dir)
{
    return client::SettingsFolder(dir).read(kChosenItemFile, parseChosenItem, 64);
}

std::string chosenItemProblemText(const std::filesystem::path& failed)
{
    return client::settingsProblemText("所选品种文件", failed, "本次从第一个品种开始，该文件在您选择品种之前不会被改动。");
}

bool writeChosenItem(const std::filesystem::path& dir, int code)
{
    return client::SettingsFolder(dir).write(kChosenItemFile, std::to_string(code) + "\n");
}

std::vector<ItemEntry> findItems(const std::vector<ItemEntry>& items, std::string_view typed, std::size_t limit,
                                 const std::map<int, NameKeys>& keys)
{
    while (!typed.empty() && typed.front() == ' ')
        typed.remove_prefix(1);
    while (!typed.empty() && typed.back() == ' ')
        typed.remove_suffix(1);
    std::vector<ItemEntry> found;
    if (typed.empty())
        return found;
    std::vector<const ItemEntry*> byName;
    std::vector<const ItemEntry*> byPinyin;
    for (const ItemEntry& item : items) {
        if (std::to_string(item.code).starts_with(typed)) {
            found.push_back(item);
        } else if (containsIgnoringCase(item.name, typed)) {
            byName.push_back(&item);
        } else if (const auto it = keys.find(item.code); it != keys.end() && matchesPinyin(it->second, typed)) {
            byPinyin.push_back(&item);
        }
    }
    for (const auto* group : {&byName, &byPinyin})
        for (const ItemEntry* item : *group)
            found.push_back(*item);
    if (found.size() > limit)
        found.resize(limit);
    return found;
}

std::optional<int> neighbourItem(const std::vector<ItemEntry>& items, int code, int step)
{
    if (items.empty())
        return std::nullopt;
    const auto it = std::find_if(items.begin(), items.end(), [code](const ItemEntry& e) { return e.code == code; });
    if (it == items.end())
        return items.front().code;
    const int n = int(items.size());
    const int at = int(it - items.begin());
    return items[std::size_t(((at + step) % n + n) % n)].code;
}

} // namespace market
