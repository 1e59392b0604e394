#include "market/core/Watchlist.h"

#include <algorithm>

#include "client/SettingsFolder.h"
#include "market/core/ChosenItem.h"

namespace market {
namespace {

// Far beyond any list a trader keeps: a larger file is not one of ours.
constexpr std::size_t kMaxFileBytes = 64 * 1024;

std::string_view trimmed(std::string_view line)
{
    const std::size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

} // namespace

std::optional<std::vector<int>> parseWatchlist(std::string_view text)
{
    std::vector<int> codes;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty())
            continue;
        const std::optional<int> code = parseChosenItem(line);
        if (!code)
            return std::nullopt;
        if (std::find(codes.begin(), codes.end(), *code) == codes.end())
            codes.push_back(*code);
    }
    return codes;
}

std::string watchlistText(const std::vector<int>& codes)
{
    std::string text;
    for (const int code : codes)
        text += std::to_string(code) + "\n";
    return text;
}

WatchlistFile readWatchlist(const std::filesystem::path& dir)
{
    client::SettingsRead<std::vector<int>> read =
        client::SettingsFolder(dir).read(kWatchlistFile, parseWatchlist, kMaxFileBytes);
    return {std::move(read.value).value_or(std::vector<int>{}), std::move(read.failed)};
}

bool writeWatchlist(const std::filesystem::path& dir, const std::vector<int>& codes)
{
    return client::SettingsFolder(dir).write(kWatchlistFile, watchlistText(codes));
}

std::string watchlistProblemText(const std::filesystem::path& failed)
{
    return client::settingsProblemText("自选文件", failed, "本次自选为空，该文件在您更改自选之前不会被改动。");
}

} // namespace market
