#include <string>

#include "QtBenchmarkMain.h"
#include "controls/JListCtrl.h"
#include "trade/Trade.h"

namespace {

// A today's-trades reply of `count` records.
std::string tradesReply(int count)
{
    std::string json = R"({"success":"true","infor":[)";
    for (int i = 0; i < count; ++i) {
        json += (i ? "," : "") + std::string(R"({"trade_time":)") + std::to_string(1709629507 + i)
                + R"(,"stock_id":9160001,"name":"波尔多干红","deal_price":12.5,"dealed_amount":20,"direction":)"
                + std::to_string(i % 2) + R"(,"dealed_value":250,"order_price":12.5,"order_amount":20,"trade_no":)"
                + std::to_string(i) + R"(,"commission":0.75})";
    }
    return json + "]}";
}

void ParseThousandTrades(benchmark::State& state)
{
    const std::string text = tradesReply(1000);
    for (auto _ : state) {
        const auto rows = trade::ParseTrades(client::ApiReply::fromUtf8(text));
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(ParseThousandTrades)->Unit(benchmark::kMillisecond);

void FillThousandTradeRows(benchmark::State& state)
{
    const auto rows = trade::ParseTrades(client::ApiReply::fromUtf8(tradesReply(1000)));
    JListCtrl list;
    trade::setUpList(list, trade::panelTradesList());
    for (auto _ : state)
        trade::fillList(list, trade::panelTradesList(), *rows);
}
BENCHMARK(FillThousandTradeRows)->Unit(benchmark::kMillisecond);

// Positions and orders replies of `count` records, as "/api/v1/customer/item" and
// "/api/v1/order/today" send them.
std::string positionsReply(int count)
{
    std::string json = R"({"success":"true","infor":{"cash":{"bankroll":1,"bankroll_usable":1,"total":1},"stock":[)";
    for (int i = 0; i < count; ++i) {
        json += (i ? "," : "") + std::string(R"({"stock_id":)") + std::to_string(9160001 + i)
                + R"(,"name":"波尔多干红","total":2000,"amount_freeze":40,"amount_usable":1960,"costprice":35.125,)"
                + R"("latest":36.2,"stock_value":72400,"profits_per":3.06})";
    }
    return json + "]}}";
}

std::string ordersReply(int count)
{
    std::string json = R"({"success":"true","infor":[)";
    for (int i = 0; i < count; ++i) {
        json += (i ? "," : "") + std::string(R"({"id":)") + std::to_string(i + 1)
                + R"(,"stock_id":9160001,"name":"波尔多干红","direction":)" + std::to_string(i % 2)
                + R"(,"commission_price":36.5,"commission_amount":20,"remain":)" + std::to_string(i % 3 ? 0 : 20)
                + R"(,"add_time":)" + std::to_string(1709629507 + i) + R"(,"state":0})";
    }
    return json + "]}";
}

// The buy window's three lists built from replies of 1,000 rows each: the reply read as
// the envelope, parsed into rows and filled into its list, as one refresh of each tab does.
void BuyWindowListsFromThousandRows(benchmark::State& state)
{
    const std::string positions = positionsReply(1000);
    const std::string orders = ordersReply(1000);
    const std::string trades = tradesReply(1000);
    JListCtrl positionsList;
    JListCtrl ordersList;
    JListCtrl tradesList;
    const trade::ListSpec<trade::OrderColumn> ordersSpec = trade::panelOrdersList();
    trade::setUpList(positionsList, trade::panelPositionsList());
    trade::setUpList(ordersList, ordersSpec);
    trade::setUpList(tradesList, trade::panelTradesList());
    for (auto _ : state) {
        trade::fillList(positionsList, trade::panelPositionsList(),
                        *trade::ParsePositions(client::ApiReply::fromUtf8(positions)));
        trade::fillList(ordersList, ordersSpec, *trade::ParseOrders(client::ApiReply::fromUtf8(orders)));
        trade::fillList(tradesList, trade::panelTradesList(), *trade::ParseTrades(client::ApiReply::fromUtf8(trades)));
    }
}
BENCHMARK(BuyWindowListsFromThousandRows)->Unit(benchmark::kMillisecond);

void ExportThousandRows(benchmark::State& state)
{
    const auto rows = trade::ParseTrades(client::ApiReply::fromUtf8(tradesReply(1000)));
    QStringList headers;
    for (const auto& c : trade::panelTradesList().columns)
        headers << QString::fromUtf8(c.header);
    std::vector<QStringList> cells;
    for (size_t i = 0; i < rows->size(); ++i)
        cells.push_back(trade::cells((*rows)[i], int(i) + 1, trade::panelTradesList()));
    for (auto _ : state)
        benchmark::DoNotOptimize(trade::exportText(headers, cells));
}
BENCHMARK(ExportThousandRows)->Unit(benchmark::kMillisecond);

} // namespace

VELMORA_QT_BENCHMARK_MAIN()
