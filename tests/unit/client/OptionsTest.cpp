#include <gtest/gtest.h>

#include "session/Config.h"
#include "client/Options.h"

using namespace client;

TEST(Options, DefaultsComeFromTheBuild)
{
    const Options o = defaultOptions();
    EXPECT_EQ(o.line0Host, defaults::kLine0Host);
    EXPECT_EQ(o.line1Host, defaults::kLine1Host);
    EXPECT_EQ(o.updateHost, defaults::kUpdateHost);
    EXPECT_TRUE(isValidSignKey(o.signKey));
    EXPECT_TRUE(o.workDir.empty());
    EXPECT_FALSE(o.trace);
}

TEST(Options, HostsAndKeysThatCouldBendAUrlAreRefused)
{
    for (const char* good : {"10.0.0.5", "example.invalid", "127.0.0.9:9000", "[::1]:8090"})
        EXPECT_TRUE(isValidHost(good)) << good;
    for (const char* bad : {"", "evil/path", "a b", "x?y", "x#y", "user@host", "a\\b", "h\xc3\xa9"})
        EXPECT_FALSE(isValidHost(bad)) << bad;
    EXPECT_TRUE(isValidSignKey("ABCDEFGHIJ123456"));
    EXPECT_FALSE(isValidSignKey("short"));
    EXPECT_FALSE(isValidSignKey("ABCDEFGHIJ12345!"));
}

TEST(Options, PickupPointTextsComeFromTheBuild)
{
    const Options o = defaultOptions();
    EXPECT_EQ(o.pickupText, defaults::kPickupText);
    EXPECT_EQ(o.pickupAddress, defaults::kPickupAddress);
    EXPECT_FALSE(o.pickupText.empty());
    EXPECT_FALSE(o.pickupAddress.empty());
}
