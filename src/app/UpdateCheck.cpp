#include "app/UpdateCheck.h"

#include <QString>

#include "client/Call.h"
#include "session/Config.h"
#include "platform/Dialogs.h"

namespace app {

bool RunUpdateCheck(QWidget* parent)
{
    const std::string reply = client::fetchText(client::Endpoint::UpdateManifest, {}, client::TraceLines());
    const UpdateDecision d = EvaluateManifest(reply, client::defaults::kVersionText);
    if (!d.announce)
        return true;
    platform::messageBox(parent, QString::fromStdString(d.message));
    return !d.forced;
}

} // namespace app
