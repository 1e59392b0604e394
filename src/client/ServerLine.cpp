#include "ServerLine.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include <json/json.h>

#include "ApiReply.h"
#include "Options.h"
#include "WholeFile.h"
#include "session/Session.h"

namespace client {
namespace {

std::filesystem::path fileIn(const std::filesystem::path& dir)
{
    return dir.empty() ? std::filesystem::path(kLineChoiceFile) : dir / kLineChoiceFile;
}

} // namespace

ServerLine makeServerLine(const std::string& label, const std::string& host)
{
    ServerLine line;
    line.label = label;
    line.tradeBaseUrl = "http://" + host + ":" + std::to_string(kTradePort);
    line.marketBaseUrl = "http://" + host + ":" + std::to_string(kMarketPort);
    return line;
}

std::optional<int> parseLineChoice(std::string_view text)
{
    Json::Value root;
    if (!parseJson(text, root) || !root.isObject())
        return std::nullopt;
    const Json::Value& member = root["connect"];
    // isInt64 first: asInt64 throws for a number past its range, and that would end the
    // program before its first window.
    if (member.isIntegral() && member.isInt64() && (member.asInt64() == 0 || member.asInt64() == 1))
        return static_cast<int>(member.asInt64());
    return std::nullopt;
}

void LoadLineChoice(const std::filesystem::path& dir)
{
    Session& session = Session::current();
    const Options options = session.options();
    int chosen = 0;

    std::ifstream in(fileIn(dir), std::ios::binary);
    if (in) {
        std::ostringstream text;
        text << in.rdbuf();
        chosen = parseLineChoice(text.str()).value_or(0);
    }

    session.setLines({makeServerLine("联通", options.line0Host), makeServerLine("移动", options.line1Host)}, chosen);
}

bool ApplyLineChoice(int index, const std::filesystem::path& dir)
{
    // No entry selected: keep both the line and the stored choice, which a written
    // out-of-range index would silently turn into line 0 at the next start.
    if (index != 0 && index != 1)
        return false;
    Session::current().setLineIndex(index);
    char text[32];
    const int length = std::snprintf(text, sizeof text, "{\"connect\":%d}", index);
    return writeWholeFile(fileIn(dir), std::string_view(text, std::size_t(length)));
}

} // namespace client
