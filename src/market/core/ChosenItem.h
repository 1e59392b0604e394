#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "client/SettingsFolder.h"
#include "market/core/Pinyin.h"
#include "session/Records.h"

namespace market {

// The item the user chose last, kept in the settings folder as its code in decimal.
inline constexpr const char* kChosenItemFile = "chosenitem";

// The code a file's text holds: digits alone (a final line break allowed), at most nine.
std::optional<int> parseChosenItem(std::string_view text);
// The code in `dir`'s file; none when the file is missing, and the file named in `failed`
// when it holds no code.
client::SettingsRead<int> readChosenItem(const std::filesystem::path& dir);
// The message naming a file that holds no code.
std::string chosenItemProblemText(const std::filesystem::path& failed);
// Writes the file whole; false when it could not be written.
bool writeChosenItem(const std::filesystem::path& dir, int code);

// The items the finder offers for what was typed, at most `limit`: first those whose code
// starts with the text, then those whose name contains it, ignoring case (ASCII letters),
// then those whose name's pinyin or initials (`keys`, by code) hold it; each group in the
// table's order. Nothing for empty or blank text.
std::vector<ItemEntry> findItems(const std::vector<ItemEntry>& items, std::string_view typed, std::size_t limit,
                                 const std::map<int, NameKeys>& keys = {});

// The item `step` places from `code` in the table's order, wrapping at both ends; the
// first item when `code` is not listed; none for an empty table.
std::optional<int> neighbourItem(const std::vector<ItemEntry>& items, int code, int step);

} // namespace market
