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

// A list's rows sorted by one column, as the user chose it with a click on its caption.
struct ColumnSort
{
    std::string caption; // UTF-8
    bool descending = true;
    bool operator==(const ColumnSort&) const = default;
};
// By the list's stable name, in the file's "sort" member (no list has that name: theirs
// hold a '/').
using SortChoices = std::map<std::string, ColumnSort>;

// The sorts a file's bytes hold: {"sort": {list: {"column": caption, "order": "descending"
// or "ascending"}}}; anything else in it is left out, and the widths do not see them.
SortChoices parseListSorts(std::string_view bytes);
// `widthsText` (columnWidthsText's) with `sorts` added.
std::string withListSorts(const std::string& widthsText, const SortChoices& sorts);

struct ColumnWidthFile
{
    ColumnWidthChoices choices;   // none when the file is missing or unreadable
    SortChoices sorts;
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
// The same for one list's sort (none: the owner's order).
StoreResult storeListSort(const std::filesystem::path& dir, const std::string& list,
                          const std::optional<ColumnSort>& sort);

} // namespace controls
