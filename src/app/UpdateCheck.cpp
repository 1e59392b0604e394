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
