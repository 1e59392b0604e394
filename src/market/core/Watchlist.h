#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace market {

// The trader's own items, kept in the settings folder one code a line, in the order added.
inline constexpr const char* kWatchlistFile = "watchlist";

// The codes a file's text holds, each once, in the file's order. Blank lines, blanks around
// a code and CRLF line ends are allowed; any other line makes the text unreadable (nullopt),
// so a file the user mistyped by hand is named instead of being silently thinned out.
std::optional<std::vector<int>> parseWatchlist(std::string_view text);
// The file's text: one code a line.
std::string watchlistText(const std::vector<int>& codes);

struct WatchlistFile
{
    std::vector<int> codes;       // none when the file is missing or unreadable
    std::filesystem::path failed; // the file when it exists but could not be read
};

// The watchlist in `dir`; an unreadable file is left as it is.
WatchlistFile readWatchlist(const std::filesystem::path& dir);
// Writes the file whole; false when it could not be written.
bool writeWatchlist(const std::filesystem::path& dir, const std::vector<int>& codes);
// The message naming a file that could not be read.
std::string watchlistProblemText(const std::filesystem::path& failed);

} // namespace market
