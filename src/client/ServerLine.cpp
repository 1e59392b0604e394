#include "ServerLine.h"

#include <cstdio>

#include <json/json.h>

#include "ApiReply.h"
#include "Options.h"
#include "SettingsFolder.h"
#include "session/Session.h"

namespace client {

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

std::filesystem::path LoadLineChoice(const std::filesystem::path& dir)
{
    Session& session = Session::current();
    const Options options = session.options();
    SettingsRead<int> chosen = SettingsFolder(dir).read(kLineChoiceFile, parseLineChoice, 4096);
    session.setLines({makeServerLine("联通", options.line0Host), makeServerLine("移动", options.line1Host)},
                     chosen.value.value_or(0));
    return std::move(chosen.failed);
}

std::string lineChoiceProblemText(const std::filesystem::path& failed)
{
    return settingsProblemText("线路设置文件", failed, "本次使用联通线路，该文件在您选择线路之前不会被改动。");
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
    return SettingsFolder(dir).write(kLineChoiceFile, std::string_view(text, std::size_t(length)));
}

} // namespace client
