// Linked into every GoogleTest program: each case starts on a fresh session (logged out, no
// cash, items, quote or column texts), whatever the case before it left there.
#include <gtest/gtest.h>

#include "session/Session.h"

namespace {

class FreshSession final : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo&) override { Session::current().resetForTest(); }
};

const bool g_registered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshSession);
    return true;
}();

} // namespace
