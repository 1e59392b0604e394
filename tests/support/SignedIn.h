#pragma once

#include <string>

#include "session/UserSession.h"

namespace testsupport {

// The session as a successful login leaves it for `id`, without the login window; undone by
// UserSession::instance().resetForTest().
inline void logInAs(const std::string& id)
{
    UserRecord record;
    record.id = id;
    UserSession::instance().setRecord(record);
    UserSession::instance().setLoggedIn(true);
}

} // namespace testsupport
