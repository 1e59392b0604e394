#pragma once

#include <string>

#include <json/value.h>

#include "session/Session.h"

namespace app {

struct LoginOutcome
{
    enum class Kind { Failed, Refused, Succeeded };
    Kind kind = Kind::Failed;
    std::string message; // the service's `msg` when refused
    UserRecord record;   // filled when succeeded
};

// Sends the signed login request on the GUI thread and reads the reply: an empty or
// unparsable reply is Failed, `success` other than "true" is Refused.
LoginOutcome RequestLogin(const std::string& account, const std::string& password);

// The user record a successful reply describes.
UserRecord RecordFromReply(const std::string& account, const std::string& password, const Json::Value& infor);

} // namespace app
