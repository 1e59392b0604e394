#pragma once

#include <string>

#include "session/Session.h"

namespace testsupport {

// The session as a successful login leaves it for `id`, without the login window; undone by
// Session::current().resetForTest().
inline void logInAs(const std::string& id)
{
    UserRecord record;
    record.id = id;
    Session::current().setUserRecord(record);
    Session::current().setLoggedIn(true);
}

} // namespace testsupport
