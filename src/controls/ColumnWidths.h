#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace controls {

// The column widths the user chose, per list, in the per-user configuration folder. Kept
// apart from the column files: those say which columns a list has and are the column
// set-up's to rewrite; a width is only how wide one of them is drawn.
inline constexpr const char* kColumnWidthsFile = "columnwidths";
inline constexpr int kMinColumnWidth = 8;
inline constexpr int kMaxColumnWidth = 2000;

// A list's chosen widths by column caption (UTF-8), so a column keeps its width wherever
// the column set-up puts it.
using ListWidths = std::map<std::string, int>;
// By the list's stable name.
using ColumnWidthChoices = std::map<std::string, ListWidths>;

// The choices a file's bytes hold: nullopt when they are no JSON object. A width that is
// not a whole number in kMinColumnWidth..kMaxColumnWidth is left out.
std::optional<ColumnWidthChoices> parseColumnWidths(std::string_view bytes);
// The file's text: styled JSON, as the other settings files are written.
std::string columnWidthsText(const ColumnWidthChoices& choices);

struct ColumnWidthFile
{
    ColumnWidthChoices choices;   // none when the file is missing or unreadable
    std::filesystem::path failed; // the file when it exists but could not be read
};

// The choices in `dir`; a file that cannot be read is left as it is.
ColumnWidthFile readColumnWidths(const std::filesystem::path& dir);
// The message naming a file that could not be read.
std::string columnWidthsProblemText(const std::filesystem::path& failed);

enum class StoreResult { Stored, Unchanged, Failed };

// Replaces one list's choices in `dir`'s file (none drops the list) and writes the file
// whole, keeping the other lists'. A file that could not be read is replaced only when
// there is a choice to keep: dropping nothing leaves it for the user to mend.
StoreResult storeListWidths(const std::filesystem::path& dir, const std::string& list, const ListWidths& widths);

} // namespace controls
