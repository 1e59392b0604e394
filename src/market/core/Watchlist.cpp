#include "market/core/Watchlist.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "client/WholeFile.h"
#include "market/core/ChosenItem.h"

namespace market {
namespace {

// Far beyond any list a trader keeps: a larger file is not one of ours.
constexpr std::uintmax_t kMaxFileBytes = 64 * 1024;

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
    WatchlistFile result;
    const std::filesystem::path path = dir / kWatchlistFile;
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return result; // never kept: an empty list, quietly
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    std::ifstream in(path, std::ios::binary);
    std::optional<std::vector<int>> codes;
    if (!error && size <= kMaxFileBytes && in)
        codes = parseWatchlist(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()));
    if (codes && !in.bad())
        result.codes = std::move(*codes);
    else
        result.failed = path;
    return result;
}

bool writeWatchlist(const std::filesystem::path& dir, const std::vector<int>& codes)
{
    return client::writeWholeFile(dir / kWatchlistFile, watchlistText(codes));
}

std::string watchlistProblemText(const std::filesystem::path& failed)
{
    const std::string path = std::filesystem::absolute(failed).lexically_normal().string();
    return "无法读取自选文件：\n" + path + "\n本次自选为空，该文件在您更改自选之前不会被改动。";
}

} // namespace market
