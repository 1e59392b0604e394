#include <gtest/gtest.h>

#include <QCoreApplication>

#include "app/CommandLine.h"
#include "session/Config.h"

using app::CommandLineAction;

namespace {

app::CommandLine parse(QStringList args)
{
    args.prepend(QStringLiteral("/opt/x/bin/velmora"));
    return app::parseCommandLine(args);
}

} // namespace

TEST(CommandLine, EveryOptionInBothForms)
{
    const app::CommandLine c = parse({"--line0-host", "10.0.0.5", "--line1-host=example.invalid", "--update-host",
                                      "127.0.0.9:9000", "--key=ABCDEFGHIJ123456", "--workdir", "/tmp/w", "--trace"});
    ASSERT_EQ(c.action, CommandLineAction::Run) << c.text.toStdString();
    EXPECT_EQ(c.options.line0Host, "10.0.0.5");
    EXPECT_EQ(c.options.line1Host, "example.invalid");
    EXPECT_EQ(c.options.updateHost, "127.0.0.9:9000");
    EXPECT_EQ(c.options.signKey, "ABCDEFGHIJ123456");
    EXPECT_EQ(c.options.workDir, "/tmp/w");
    EXPECT_TRUE(c.options.trace);

    const app::CommandLine none = parse({});
    ASSERT_EQ(none.action, CommandLineAction::Run);
    EXPECT_EQ(none.options.line0Host, client::defaults::kLine0Host);
    EXPECT_TRUE(none.options.workDir.empty());
    EXPECT_FALSE(none.options.trace);
}

TEST(CommandLine, PickupPointTexts)
{
    const app::CommandLine c = parse({"--pickup-text", "北京市朝阳区酒仓路1号 电话010-1", "--pickup-address=酒仓路1号"});
    ASSERT_EQ(c.action, CommandLineAction::Run) << c.text.toStdString();
    EXPECT_EQ(c.options.pickupText, "北京市朝阳区酒仓路1号 电话010-1");
    EXPECT_EQ(c.options.pickupAddress, "酒仓路1号");
    EXPECT_EQ(parse({}).options.pickupAddress, client::defaults::kPickupAddress);
    EXPECT_EQ(parse({"--pickup-address="}).action, CommandLineAction::Refused);
    EXPECT_TRUE(parse({"--pickup-text", "two\nlines"}).text.contains(QStringLiteral("--pickup-text")));
}

TEST(CommandLine, RefusalsSayWhatWasWrong)
{
    const struct
    {
        QStringList args;
        const char* says;
    } cases[] = {
        {{"--bogus"}, "bogus"},
        {{"-x"}, "x"},
        {{"--key", "short"}, "16 ASCII letters and digits"},
        {{"--key", "ABCDEFGHIJ12345!"}, "16 ASCII letters and digits"},
        {{"--line0-host"}, "line0-host"},
        {{"--line0-host", "evil/path"}, "evil/path"},
        {{"--update-host", "a b"}, "update-host"},
        {{"--workdir="}, "--workdir"},
        {{"stray"}, "stray"},
    };
    for (const auto& c : cases) {
        const app::CommandLine r = parse(c.args);
        EXPECT_EQ(r.action, CommandLineAction::Refused) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.text.contains(QString::fromUtf8(c.says))) << r.text.toStdString();
    }
}

TEST(CommandLine, HelpListsEveryOptionAndWinsOverMistakes)
{
    for (const QStringList& args : {QStringList{"--help"}, QStringList{"-h"}, QStringList{"--bogus", "--help"}}) {
        const app::CommandLine c = parse(args);
        ASSERT_EQ(c.action, CommandLineAction::Help) << args.join(' ').toStdString();
        EXPECT_TRUE(c.text.startsWith(QStringLiteral("Usage: velmora [options]\n"))) << c.text.toStdString();
        for (const char* option : {"--line0-host <HOST>", "--line1-host <HOST>", "--update-host <HOST[:PORT]>",
                                   "--key <KEY>", "--workdir <DIR>", "--trace", "--pickup-text <TEXT>",
                                   "--pickup-address <TEXT>", "--version", "--help"})
            EXPECT_TRUE(c.text.contains(QString::fromUtf8(option))) << option;
    }
    QCoreApplication::setApplicationVersion(QStringLiteral("1.6"));
    const app::CommandLine v = parse({"--version"});
    ASSERT_EQ(v.action, CommandLineAction::Version);
    EXPECT_EQ(v.text, QStringLiteral("velmora 1.6\n"));

    EXPECT_TRUE(app::asksForHelpOrVersion({"velmora", "--trace", "-v"}));
    EXPECT_FALSE(app::asksForHelpOrVersion({"velmora", "--", "--help"}));
    EXPECT_FALSE(app::asksForHelpOrVersion({"--help"})); // the program's own name is not an argument
}
