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
        const auto rows = trade::ParseTrades(client::ApiReply::FromUtf8(text));
        benchmark::DoNotOptimize(rows);
    }
}
BENCHMARK(ParseThousandTrades)->Unit(benchmark::kMillisecond);

void FillThousandTradeRows(benchmark::State& state)
{
    const auto rows = trade::ParseTrades(client::ApiReply::FromUtf8(tradesReply(1000)));
    JListCtrl list;
    trade::setUpList(list, trade::panelTradesList());
    for (auto _ : state)
        trade::fillList(list, trade::panelTradesList(), *rows);
}
BENCHMARK(FillThousandTradeRows)->Unit(benchmark::kMillisecond);

void ExportThousandRows(benchmark::State& state)
{
    const auto rows = trade::ParseTrades(client::ApiReply::FromUtf8(tradesReply(1000)));
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
