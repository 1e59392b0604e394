#include "app/UpdateCheck.h"

#include <QString>

#include "client/ApiReply.h"
#include "client/CodePage.h"
#include "client/Config.h"
#include "client/Endpoints.h"
#include "client/Transport.h"
#include "platform/Dialogs.h"
#include "platform/Trace.h"

namespace app {

UpdateDecision EvaluateManifest(std::string_view reply, std::string_view ownVersion)
{
    UpdateDecision d;
    Json::Value root;
    // The manifest is a static file: UTF-8 on a new host, GBK on an old one.
    if (!client::ParseJson(client::LocalFileToUtf8(reply), root) || !root.isObject())
        return d;
    if (client::JsonText(root, "version") == ownVersion)
        return d;
    d.announce = true;
    d.forced = client::JsonText(root, "forced") == "true";
    d.message = client::JsonText(root, "msg");
    return d;
}

bool RunUpdateCheck(QWidget* parent)
{
    std::string reply;
    client::HttpGetUrl(client::EndpointUrl(client::Endpoint::UpdateManifest), reply);
    platform::traceWire(reply);
    const UpdateDecision d = EvaluateManifest(reply, client::defaults::kVersionText);
    if (!d.announce)
        return true;
    platform::messageBox(parent, QString::fromStdString(d.message));
    return !d.forced;
}

} // namespace app
