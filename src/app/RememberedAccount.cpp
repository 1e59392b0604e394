#include "app/RememberedAccount.h"

#include <fstream>
#include <sstream>

#include <json/value.h>

#include "client/ApiReply.h"
#include "client/CodePage.h"
#include "client/RequestBody.h"

namespace app {

std::optional<std::string> ReadRememberedAccount()
{
    std::ifstream in(kRememberedAccountFile, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return ParseRememberedAccount(bytes.str());
}

std::optional<std::string> ParseRememberedAccount(std::string_view bytes)
{
    Json::Value root;
    if (!client::ParseJson(client::LocalFileToUtf8(bytes), root))
        return std::nullopt;
    return client::JsonText(root, "id_account");
}

bool WriteRememberedAccount(const std::optional<std::string>& account)
{
    std::ofstream out(kRememberedAccountFile, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    if (account)
        out << client::StyledBody({{"id_account", *account, false}});
    out.close();
    return !out.fail();
}

} // namespace app
