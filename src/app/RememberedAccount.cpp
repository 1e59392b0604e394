#include "app/RememberedAccount.h"

#include <json/value.h>

#include "client/ApiReply.h"
#include "client/CodePage.h"
#include "client/RequestBody.h"

namespace app {

client::SettingsRead<std::string> ReadRememberedAccount()
{
    const client::SettingsFolder folder = client::settingsFolder();
    client::SettingsRead<std::string> bytes = folder.readBytes(kRememberedAccountFile, 64 * 1024);
    if (bytes.value && bytes.value->empty())
        return {}; // emptied on purpose: nothing remembered
    return folder.read(kRememberedAccountFile, ParseRememberedAccount, 64 * 1024);
}

std::string rememberedAccountProblemText(const std::filesystem::path& failed)
{
    return client::settingsProblemText("记住的账号文件", failed, "本次不填入账号，该文件在您下次登录之前不会被改动。");
}

std::optional<std::string> ParseRememberedAccount(std::string_view bytes)
{
    Json::Value root;
    if (!client::parseJson(client::localFileToUtf8(bytes), root) || !root.isObject())
        return std::nullopt;
    return client::jsonText(root, "id_account");
}

bool WriteRememberedAccount(const std::optional<std::string>& account)
{
    const std::string text = account ? client::styledBody({{"id_account", *account, false}}) : std::string();
    return client::settingsFolder().write(kRememberedAccountFile, text);
}

} // namespace app
