#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "session/Records.h"

namespace client {

inline constexpr int kTradePort = 8055;
inline constexpr int kMarketPort = 8041;
inline constexpr const char* kLineChoiceFile = "connect";

ServerLine makeServerLine(const std::string& label, const std::string& host);

// The line a "connect" file's text chooses: 0 or 1, nothing for anything else.
std::optional<int> parseLineChoice(std::string_view text);

// Builds the session's line table from its options, makes line 0 current and then applies
// the choice stored in "connect" in `dir` (1 or 0; anything else keeps line 0). Returns the
// file when it exists but holds no choice, for the caller to name.
std::filesystem::path LoadLineChoice(const std::filesystem::path& dir = {});
// The message naming a "connect" file that holds no choice.
std::string lineChoiceProblemText(const std::filesystem::path& failed);

// Makes line 0 or 1 current and replaces "connect" in `dir` with exactly {"connect":index}.
// Any other index changes neither. Returns false when nothing was written; a line that
// was valid is current all the same.
bool ApplyLineChoice(int index, const std::filesystem::path& dir = {});

} // namespace client
