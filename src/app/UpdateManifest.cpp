// The update manifest's reader, apart from the request and its message box.
#include "app/UpdateCheck.h"

#include "client/ApiReply.h"
#include "client/CodePage.h"

namespace app {

UpdateDecision EvaluateManifest(std::string_view reply, std::string_view ownVersion)
{
    UpdateDecision d;
    Json::Value root;
    // The manifest is a static file: UTF-8 on a new host, GBK on an old one.
    if (!client::parseJson(client::localFileToUtf8(reply), root) || !root.isObject())
        return d;
    if (client::jsonText(root, "version") == ownVersion)
        return d;
    d.announce = true;
    d.forced = client::jsonText(root, "forced") == "true";
    d.message = client::jsonText(root, "msg");
    return d;
}

} // namespace app
