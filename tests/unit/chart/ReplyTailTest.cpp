// The tail parse of a polled reply: what it re-reads, and that the records it yields are
// always those of a whole parse.
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "chart/ChartReplies.h"
#include "chart/ReplyTail.h"

using namespace chart;

namespace {

std::string Record(int i, double close, int vol = 100, int periodSeconds = 60)
{
    return "{\"startPrice\":" + std::to_string(10 + i % 7) + ",\"endPrice\":" + std::to_string(close)
           + ",\"maxPrice\":30,\"minPrice\":1,\"time\":" + std::to_string(1700000000 + i * periodSeconds)
           + ",\"vol\":" + std::to_string(vol) + "}";
}

std::string Reply(const std::vector<std::string>& records, const std::string& after = "")
{
    std::string s = "{\"success\":\"true\",\"msg\":\"\",\"infor\":[";
    for (std::size_t i = 0; i < records.size(); ++i)
        s += (i ? "," : "") + records[i];
    return s + "]" + after + "}";
}

std::vector<std::string> History(int count)
{
    std::vector<std::string> r;
    for (int i = 0; i < count; ++i)
        r.push_back(Record(i, 12 + i % 5));
    return r;
}

// Reads `next` after `first` and returns the records the chart would hold: the ones kept from
// the first reply and those re-read.
struct Polled
{
    ReplyTailReader::Result result;
    std::vector<CandleRecord> records;
};

Polled Poll(ReplyTailReader& reader, std::vector<CandleRecord> held, const std::string& next)
{
    Polled p{reader.read(next), {}};
    const std::vector<CandleRecord> tail = candleRecords(p.result.reply.infor);
    held.resize(p.result.whole ? 0 : p.result.from);
    held.insert(held.end(), tail.begin(), tail.end());
    p.records = held;
    return p;
}

} // namespace

TEST(ReplyTail, ReadsFromTheRecordWhereTheReplyDeparts)
{
    const std::vector<std::string> base = History(50);
    auto with = [&](auto edit) {
        std::vector<std::string> r = base;
        edit(r);
        return Reply(r);
    };
    struct Case
    {
        const char* what;
        std::string next;
        bool whole;
        std::size_t from;
    };
    const Case cases[] = {
        {"the newest candle changes", with([](auto& r) { r[49] = Record(49, 99); }), false, 49},
        {"a candle is appended", with([](auto& r) { r.push_back(Record(50, 13)); }), false, 49},
        // The first byte that differs lies in the close of candle 10: read from its start.
        {"an old candle is rewritten", with([](auto& r) { r[10] = Record(10, 99); }), false, 10},
        {"the reply is shorter", with([](auto& r) { r.resize(47); }), false, 46},
        {"the same text again", Reply(base), false, 49},
        {"the first candle differs", with([](auto& r) { r[0] = Record(0, 99); }), true, 0},
        // The same first candle, then another period's: read from the second on.
        {"another period's history", with([](auto& r) {
             for (int i = 1; i < 50; ++i)
                 r[std::size_t(i)] = Record(i, 12 + i % 5, 100, 86400);
         }),
         false, 1},
        {"the envelope before the records differs", "{\"success\":\"true\",\"msg\":\"x\",\"infor\":[" +
             Reply(base).substr(Reply(base).find('[') + 1), true, 0},
        {"a member after the records differs", Reply(base, ",\"success\":\"false\""), true, 0},
        {"the tail is no JSON", Reply(base).substr(0, 600) + "{\"startPrice\":", true, 0},
        {"a failure", "{\"success\":\"false\",\"infor\":[]}", true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReplyTailReader reader;
        const Polled first = Poll(reader, {}, Reply(base));
        ASSERT_TRUE(first.result.whole);
        ASSERT_EQ(first.records.size(), 50u);
        const Polled next = Poll(reader, first.records, c.next);
        EXPECT_EQ(next.result.whole, c.whole);
        if (!c.whole) {
            EXPECT_EQ(next.result.from, c.from);
        }
        // Whatever was read, the records and the envelope are those of a whole parse.
        const client::ApiReply whole = client::ApiReply::fromUtf8(c.next);
        EXPECT_EQ(next.result.reply.success, whole.success);
        if (whole.success) {
            EXPECT_EQ(next.records, candleRecords(whole.infor));
        }
    }
}

TEST(ReplyTail, AnyRunOfPollsHoldsTheRecordsOfAWholeParse)
{
    // Polls as the exchange sends them, and some it should not: the newest candle moves,
    // candles are appended, an older one is rewritten, the history is cut, and now and then
    // a failure or text that is no JSON comes between.
    std::mt19937 rng(3);
    std::vector<std::string> records = History(40);
    ReplyTailReader reader;
    std::vector<CandleRecord> held = Poll(reader, {}, Reply(records)).records;
    for (int poll = 0; poll < 300; ++poll) {
        const int kind = int(rng() % 10);
        if (kind < 4)
            records.back() = Record(int(records.size()) - 1, double(rng() % 1000) / 10);
        else if (kind < 7)
            records.push_back(Record(int(records.size()), double(rng() % 1000) / 10, int(rng() % 5000)));
        else if (kind == 7 && records.size() > 5)
            records[rng() % records.size()] = Record(1, double(rng() % 1000) / 10);
        else if (records.size() > 5)
            records.resize(records.size() - 1 - rng() % 3);
        std::string text = Reply(records);
        if (poll % 37 == 36)
            text = poll % 2 ? "{\"success\":\"false\"}" : text.substr(0, text.size() / 2);
        const Polled next = Poll(reader, held, text);
        const client::ApiReply whole = client::ApiReply::fromUtf8(text);
        ASSERT_EQ(next.result.reply.success, whole.success) << "poll " << poll;
        if (!whole.success)
            continue;
        ASSERT_EQ(next.records, candleRecords(whole.infor)) << "poll " << poll;
        held = next.records;
    }
}

TEST(ReplyTail, CommonPrefixCrossesBlockBoundaries)
{
    const std::string a(10000, 'x');
    std::string b = a;
    EXPECT_EQ(commonPrefixLength(a, b), 10000u);
    b[4096] = 'y';
    EXPECT_EQ(commonPrefixLength(a, b), 4096u);
    EXPECT_EQ(commonPrefixLength(a, a.substr(0, 5000)), 5000u);
    EXPECT_EQ(commonPrefixLength("", a), 0u);
}
