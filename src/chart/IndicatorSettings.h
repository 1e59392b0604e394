#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "chart/Indicators.h"

namespace chart {

// The K-line's indicator choice in the per-user configuration folder.
inline constexpr const char* kIndicatorFile = "chartindicators";

// The choice a file's bytes hold: nullopt when they are no JSON object. A member that is
// missing or not what it should be (a period out of 1..999, say) keeps its default.
std::optional<IndicatorChoice> parseIndicatorChoice(std::string_view bytes);
// The file's text: styled JSON, as the other settings files are written.
std::string indicatorChoiceText(const IndicatorChoice& choice);

struct IndicatorFileChoice
{
    IndicatorChoice choice;        // the defaults when the file is missing or unreadable
    std::filesystem::path failed;  // the file when it exists but could not be read
};

// The choice in `dir`; a file that cannot be read is left as it is.
IndicatorFileChoice readIndicatorChoice(const std::filesystem::path& dir);
// The message naming a file that could not be read.
std::string indicatorFileProblemText(const std::filesystem::path& failed);
// Replaces the file in `dir` whole, or leaves it as it was; false when it could not be saved.
bool writeIndicatorChoice(const std::filesystem::path& dir, const IndicatorChoice& choice);

} // namespace chart
