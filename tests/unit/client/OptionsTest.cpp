#include <gtest/gtest.h>

#include "client/Config.h"
#include "client/Options.h"

using namespace client;

TEST(Options, DefaultsComeFromTheBuild)
{
    const OptionsResult r = ParseOptions({});
    EXPECT_TRUE(r.error.empty());
    EXPECT_EQ(r.options.line0Host, defaults::kLine0Host);
    EXPECT_EQ(r.options.line1Host, defaults::kLine1Host);
    EXPECT_EQ(r.options.updateHost, defaults::kUpdateHost);
    EXPECT_TRUE(IsValidSignKey(r.options.signKey));
    EXPECT_FALSE(r.options.trace);
}

TEST(Options, EveryOptionInBothForms)
{
    const OptionsResult r = ParseOptions({"--line0-host", "10.0.0.5", "--line1-host=example.invalid",
                                          "--update-host", "127.0.0.9:9000", "--key=ABCDEFGHIJ123456",
                                          "--workdir", "/tmp/w", "--trace", "-platform", "offscreen"});
    ASSERT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(r.options.line0Host, "10.0.0.5");
    EXPECT_EQ(r.options.line1Host, "example.invalid");
    EXPECT_EQ(r.options.updateHost, "127.0.0.9:9000");
    EXPECT_EQ(r.options.signKey, "ABCDEFGHIJ123456");
    EXPECT_EQ(r.options.workDir, "/tmp/w");
    EXPECT_TRUE(r.options.trace);
    EXPECT_EQ(r.rest, (std::vector<std::string>{"-platform", "offscreen"}));
}

TEST(Options, BadValuesAreRefusedWithAReason)
{
    EXPECT_FALSE(ParseOptions({"--key", "short"}).error.empty());
    EXPECT_FALSE(ParseOptions({"--key", "ABCDEFGHIJ12345!"}).error.empty());
    EXPECT_FALSE(ParseOptions({"--line0-host"}).error.empty());
    EXPECT_FALSE(ParseOptions({"--line0-host", "evil/path"}).error.empty());
    EXPECT_FALSE(ParseOptions({"--update-host", "a b"}).error.empty());
    EXPECT_FALSE(ParseOptions({"--workdir="}).error.empty());
}

TEST(Options, PickupPointTextsFromTheBuildOrTheCommandLine)
{
    const OptionsResult defaults = ParseOptions({});
    EXPECT_EQ(defaults.options.pickupText, defaults::kPickupText);
    EXPECT_EQ(defaults.options.pickupAddress, defaults::kPickupAddress);
    EXPECT_FALSE(defaults.options.pickupText.empty());
    EXPECT_FALSE(defaults.options.pickupAddress.empty());

    const OptionsResult r = ParseOptions({"--pickup-text", "北京市朝阳区酒仓路1号 电话010-1", "--pickup-address=酒仓路1号"});
    ASSERT_TRUE(r.error.empty()) << r.error;
    EXPECT_EQ(r.options.pickupText, "北京市朝阳区酒仓路1号 电话010-1");
    EXPECT_EQ(r.options.pickupAddress, "酒仓路1号");
    EXPECT_FALSE(ParseOptions({"--pickup-address="}).error.empty());
    EXPECT_FALSE(ParseOptions({"--pickup-text", "two\nlines"}).error.empty());
}
