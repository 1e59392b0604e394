#include <atomic>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <json/value.h>
#include <zlib.h>

#include "Accounts.h"
#include "Faults.h"
#include "Money.h"
#include "ServerOptions.h"
#include "client/ApiReply.h"
#include "client/ApiSign.h"

using namespace exchange;

TEST(Input, PricesAreYuanWithAtMostTwoDecimals)
{
    EXPECT_EQ(ParseYuan("36.5"), 3650);
    EXPECT_EQ(ParseYuan("36.50"), 3650);
    EXPECT_EQ(ParseYuan("0.01"), 1);
    EXPECT_EQ(ParseYuan("12"), 1200);
    EXPECT_EQ(ParseYuan(".5"), 50);
    EXPECT_EQ(ParseYuan("7."), 700);
    for (const char* bad : {"", ".", "-1", "1.234", "1e3", "abc", "1,5", " 1", "1 ", "99999999999999"})
        EXPECT_FALSE(ParseYuan(bad)) << bad;
    EXPECT_EQ(ParseQuantity("100"), 100);
    for (const char* bad : {"", "-5", "1.5", "x", "1234567890"})
        EXPECT_FALSE(ParseQuantity(bad)) << bad;
}

TEST(Input, DatesTakeBothPaddedAndUnpaddedForms)
{
    const auto a = ParseDate("2026-03-07");
    const auto b = ParseDate("2026-3-7");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(LocalMidnight(*a), LocalMidnight(*b));
    for (const char* bad : {"", "2026-02-30", "2025-02-29", "2026-13-01", "2026/03/07", "2026-03", "-2026-03-07", "x"})
        EXPECT_FALSE(ParseDate(bad)) << bad;
    EXPECT_TRUE(ParseDate("2024-02-29"));
}

TEST(Input, AccountsFileEntriesOfTheWrongShapeAreSkippedNotFatal)
{
    std::vector<AccountSeed> seeds;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(ParseAccounts(R"([
        {"id": "200001", "password": "pw", "cash": 1234.56,
         "positions": [{"stock_id": 9160001, "amount": 100, "costprice": 35.2}, {"stock_id": "x"},
                       {"stock_id": 1234, "amount": 5}],
         "name": "张三", "is_update": 1},
        {"id": 200002, "password": "pw2", "cash": "lots", "positions": "none"},
        {"password": "nobody"},
        42,
        {"id": "200001", "password": "again"}
    ])", seeds, error, warnings));
    ASSERT_EQ(seeds.size(), 2u);
    EXPECT_EQ(seeds[0].cash, 123456);
    ASSERT_EQ(seeds[0].positions.size(), 1u);
    EXPECT_EQ(seeds[0].positions[0].costPrice, 3520);
    EXPECT_EQ(seeds[0].personal.name, "张三");
    EXPECT_EQ(seeds[0].isUpdate, 1);
    EXPECT_EQ(seeds[1].id, "200002");
    EXPECT_EQ(seeds[1].cash, 0);
    EXPECT_EQ(warnings.size(), 5u);
    EXPECT_FALSE(ParseAccounts("{\"id\":1}", seeds, error, warnings));
    EXPECT_FALSE(ParseAccounts("not json", seeds, error, warnings));
}

TEST(Input, PasswordsAreKeptSaltedAndCheckedByTheirSentHash)
{
    Account a;
    SetPassword(a, client::hashPassword("123456"));
    EXPECT_NE(a.passwordHash, client::hashPassword("123456"));
    EXPECT_TRUE(PasswordMatches(a, client::hashPassword("123456")));
    EXPECT_FALSE(PasswordMatches(a, client::hashPassword("1234567")));
    Account b;
    SetPassword(b, client::hashPassword("123456"));
    EXPECT_NE(a.passwordHash, b.passwordHash); // different salts
    b.internal = true;
    EXPECT_FALSE(PasswordMatches(b, client::hashPassword("123456")));
}

TEST(Input, CommandLine)
{
    auto r = ParseServerOptions({"--listen", "127.0.0.5", "--listen=127.0.0.6", "--pace", "0", "--seed=42",
                                 "--update-listen", "127.0.0.5:9000", "--key", "Abcdefgh12345678", "--fault",
                                 "/api/realtime/9160001=500", "--manifest-version", "v1.7"});
    ASSERT_EQ(r.error, "");
    EXPECT_EQ(r.options.listen, (std::vector<std::string>{"127.0.0.5", "127.0.0.6"}));
    EXPECT_EQ(r.options.pace, 0);
    EXPECT_EQ(r.options.seed, 42u);
    EXPECT_EQ(r.options.updateHost, "127.0.0.5");
    EXPECT_EQ(r.options.updatePort, 9000);
    EXPECT_EQ(r.options.key, "Abcdefgh12345678");
    EXPECT_EQ(r.options.manifestVersion, "v1.7");
    EXPECT_EQ(ParseServerOptions({}).options.listen.size(), 2u);
    EXPECT_FALSE(ParseServerOptions({}).options.sessionClock);
    EXPECT_TRUE(ParseServerOptions({"--session-clock"}).options.sessionClock);
    const ServerOptions defaults = ParseServerOptions({}).options;
    EXPECT_FALSE(defaults.openAccounts);
    EXPECT_EQ(defaults.loginHours, 24);
    EXPECT_EQ(defaults.deliveryHorizonDays, 365);
    const ServerOptions logins = ParseServerOptions({"--open-accounts", "--login-hours=0.5", "--delivery-horizon", "30"}).options;
    EXPECT_TRUE(logins.openAccounts);
    EXPECT_EQ(logins.loginHours, 0.5);
    EXPECT_EQ(logins.deliveryHorizonDays, 30);
    for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
             {"--pace", "-1"}, {"--pace", "fast"}, {"--key", "short"}, {"--update-listen", "host"},
             {"--seed", "-3"}, {"--listen"}, {"--bogus"}, {"--login-hours", "0"}, {"--login-hours", "nan"},
             {"--delivery-horizon", "-1"}, {"--delivery-horizon", "1.5"}, {"--open-accounts=yes"}})
        EXPECT_NE(ParseServerOptions(bad).error, "") << bad[0];
}

TEST(Input, FaultRules)
{
    Faults f;
    std::string error;
    EXPECT_TRUE(f.add("/api/realtime/9160001=delay:250", error));
    EXPECT_TRUE(f.add("/api/histogram/*=hang", error));
    EXPECT_FALSE(f.add("/x=explode", error));
    EXPECT_FALSE(f.add("no-slash=500", error));
    EXPECT_FALSE(f.add("/x=delay:soon", error));
    ASSERT_TRUE(f.find("/api/realtime/9160001"));
    EXPECT_EQ(f.find("/api/realtime/9160001")->argument, 250);
    EXPECT_EQ(f.find("/api/histogram/9160001/8")->mode, FaultMode::Hang);
    EXPECT_FALSE(f.find("/api/timeline/9160001"));
    f.clear("");
    EXPECT_FALSE(f.find("/api/realtime/9160001"));
}

TEST(Input, FaultsOfTheMatrixAndTheirCounts)
{
    Faults f;
    std::string error;
    EXPECT_TRUE(f.add("/a=drip", error));
    EXPECT_TRUE(f.add("/b=wrongtypes", error));
    EXPECT_TRUE(f.add("/c=gzipbomb:4096", error));
    EXPECT_EQ(f.find("/a")->mode, FaultMode::Drip);
    EXPECT_EQ(f.find("/b")->mode, FaultMode::WrongTypes);
    EXPECT_EQ(f.find("/c")->argument, 4096);
    EXPECT_EQ(f.hits("/a"), 1);
    f.find("/a");
    EXPECT_EQ(f.hits("/a"), 2);
    EXPECT_EQ(f.hits("/d"), 0);
}

// A lifted hang must let its parked requests go, or they hold the server's workers for good.
TEST(Input, LiftingAHangReleasesTheRequestsItHolds)
{
    Faults f;
    std::string error;
    ASSERT_TRUE(f.add("/api/*=hang", error));
    std::atomic<bool> released{false};
    std::thread request([&] {
        f.hang("/api/realtime/9160001");
        released.store(true);
    });
    f.clear("/api/*");
    request.join(); // without the release this waits Faults::kLongestHang
    EXPECT_TRUE(released.load());
}

TEST(Input, WrongTypesKeepTheEnvelopeAndSpoilEveryMember)
{
    const std::string spoilt =
        WithWrongTypes(R"({"success":"true","msg":"ok","infor":[{"price":1.5,"vol":3,"name":"x","open":true}]})");
    Json::Value root;
    ASSERT_TRUE(client::parseJson(spoilt, root));
    EXPECT_EQ(root["success"].asString(), "true");
    EXPECT_TRUE(root["msg"].isArray());
    ASSERT_TRUE(root["infor"].isArray());
    const Json::Value& row = root["infor"][0];
    EXPECT_TRUE(row["price"].isObject());
    EXPECT_TRUE(row["vol"].isObject());
    EXPECT_TRUE(row["name"].isArray());
    EXPECT_TRUE(row["open"].isString());
    EXPECT_EQ(WithWrongTypes("not json"), "not json");
}

TEST(Input, GzipBombInflatesToWhatItClaims)
{
    const std::size_t inflated = 3u << 20;
    const std::string& bomb = GzipBomb(inflated);
    EXPECT_LT(bomb.size(), inflated / 200);
    z_stream z{};
    ASSERT_EQ(inflateInit2(&z, 15 + 16), Z_OK);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bomb.data()));
    z.avail_in = static_cast<uInt>(bomb.size());
    std::string out(inflated + 1, 'x');
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(inflate(&z, Z_FINISH), Z_STREAM_END);
    EXPECT_EQ(z.total_out, inflated);
    inflateEnd(&z);
    EXPECT_EQ(out.find_first_not_of(' '), inflated);
}

