// Client core benchmarks: signing one order body, and reading a large list reply.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "client/ApiReply.h"
#include "client/CodePage.h"
#include "client/Endpoints.h"

namespace {

constexpr const char* kKey = "Vm8kQ3zT5rLx2NwP";

void BM_SignOrderBody(benchmark::State& state)
{
    for (auto _ : state) {
        client::SignedRequest r = client::buildSignedRequest(
            client::Endpoint::Buy,
            {{"buy_amount", "100"}, {"buy_price", "12.50"}, {"id", "100001"}, {"item_id", "9160001"}}, kKey,
            1700000000u);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_SignOrderBody);

struct OrderRecord
{
    long long id = 0;
    std::string stockId;
    std::string name;
    int direction = 0;
    double price = 0;
    int amount = 0;
    int remain = 0;
    int state = 0;
    long long addTime = 0;
};

std::string MakeReply(size_t targetBytes)
{
    std::string reply = R"({"success":"true","msg":"查询成功","infor":[)";
    for (int i = 0; reply.size() < targetBytes; ++i) {
        if (i)
            reply += ',';
        reply += R"({"id":)" + std::to_string(100000 + i) +
                 R"(,"stock_id":"9160001","name":"Tolmere小酒窖","direction":)" + std::to_string(i % 2) +
                 R"(,"price":"12.)" + std::to_string(i % 100) + R"(","amount":100,"remain":)" +
                 std::to_string(i % 100) + R"(,"state":0,"add_time":1700000000})";
    }
    reply += "]}";
    return reply;
}

void BM_ReadListReply(benchmark::State& state)
{
    const std::string reply = MakeReply(1 << 20);
    for (auto _ : state) {
        const client::ApiReply r = client::ApiReply::fromUtf8(reply);
        std::vector<OrderRecord> records;
        records.reserve(r.infor.size());
        for (const Json::Value& row : r.infor) {
            OrderRecord o;
            o.id = client::JsonInt64(row, "id");
            o.stockId = client::jsonText(row, "stock_id");
            o.name = client::jsonText(row, "name");
            o.direction = client::jsonInt(row, "direction");
            o.price = client::jsonReal(row, "price");
            o.amount = client::jsonInt(row, "amount");
            o.remain = client::jsonInt(row, "remain");
            o.state = client::jsonInt(row, "state");
            o.addTime = client::JsonInt64(row, "add_time");
            records.push_back(std::move(o));
        }
        benchmark::DoNotOptimize(records);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(reply.size()));
}
BENCHMARK(BM_ReadListReply)->Unit(benchmark::kMillisecond);

void BM_ReadWireReplyWithGbkConversion(benchmark::State& state)
{
    const std::string reply = client::utf8ToWire(MakeReply(1 << 20));
    for (auto _ : state) {
        client::ApiReply r = client::ApiReply::fromWire(reply);
        benchmark::DoNotOptimize(r);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(reply.size()));
}
BENCHMARK(BM_ReadWireReplyWithGbkConversion)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
