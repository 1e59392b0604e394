#include "app/RememberedAccount.h"

#include <fstream>
#include <sstream>

#include <json/value.h>

#include <QByteArray>
#include <QString>

#include "client/ApiReply.h"
#include "client/CodePage.h"
#include "client/RequestBody.h"
#include "platform/SaveFile.h"

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
    if (!client::parseJson(client::localFileToUtf8(bytes), root))
        return std::nullopt;
    return client::jsonText(root, "id_account");
}

bool WriteRememberedAccount(const std::optional<std::string>& account)
{
    const std::string text = account ? client::styledBody({{"id_account", *account, false}}) : std::string();
    return platform::saveWholeFile(QString::fromUtf8(kRememberedAccountFile), QByteArray::fromStdString(text));
}

} // namespace app
