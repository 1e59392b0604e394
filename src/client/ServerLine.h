#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace client {

inline constexpr int kTradePort = 8055;
inline constexpr int kMarketPort = 8041;
inline constexpr const char* kLineChoiceFile = "connect";

// One network line: the trading and market-data base URLs of one host, no trailing slash.
struct ServerLine
{
    std::string label; // as the status window's line list shows it
    std::string tradeBaseUrl;
    std::string marketBaseUrl;
};

ServerLine makeServerLine(const std::string& label, const std::string& host);

// Index 0 "联通", index 1 "移动".
std::array<ServerLine, 2> LineTable();
int currentLineIndex();

// The current line's base URLs, read whole on every request by any thread.
std::string TradeBaseUrl();
std::string MarketBaseUrl();

// The line a "connect" file's text chooses: 0 or 1, nothing for anything else.
std::optional<int> parseLineChoice(std::string_view text);

// Builds the line table from the current options, makes line 0 current and then applies
// the choice stored in "connect" in `dir` (1 or 0; anything else keeps line 0).
void LoadLineChoice(const std::filesystem::path& dir = {});

// Makes line 0 or 1 current and replaces "connect" in `dir` with exactly {"connect":index}.
// Any other index changes neither. Returns false when nothing was written; a line that
// was valid is current all the same.
bool ApplyLineChoice(int index, const std::filesystem::path& dir = {});

} // namespace client
