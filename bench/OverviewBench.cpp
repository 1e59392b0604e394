// Overview: one reply of 30 rows into lists of 40 columns (parse, format, fill), and the
// paint of a report list holding 300 rows.
#include <string>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include "client/CodePage.h"
#include "controls/JListCtrl.h"
#include "market/Overview.h"
#include "market/OverviewColumns.h"
#include "QtBenchmarkMain.h"

namespace {

const char* kKeys[] = {"main_1",  "main_2",  "main_3",  "main_4",  "main_5",  "main_6",  "main_7",  "main_8",
                       "main_9",  "main_10", "main_11", "main_12", "main_13", "main_14", "main_15", "main_16",
                       "main_17", "main_20", "main_22", "main_23", "main_24", "main_25", "main_26", "extend_1",
                       "extend_2", "extend_3", "extend_4", "extend_5", "extend_6", "extend_7", "extend_8",
                       "extend_11", "extend_12", "extend_13", "extend_14", "extend_15", "extend_16",
                       "extend_21", "extend_22", "extend_23"};

market::OverviewColumns Columns()
{
    market::OverviewColumns c;
    for (const char* key : kKeys) {
        c.basic.push_back({key, key, 65});
        c.extended.push_back({key, key, 65});
    }
    c.tabCount = 2;
    return c;
}

std::string Reply(int rows)
{
    std::string r = R"({"success":"true","msg":"","infor":[)";
    for (int i = 0; i < rows; ++i) {
        if (i)
            r += ',';
        r += "{";
        for (const char* key : kKeys) {
            const std::string k = key;
            r += "\"" + k + "\":";
            r += k == "main_4" ? "\"Tolmere小酒窖\"" : std::to_string(10 + (i * 7 + k.size()) % 90) + ".25";
            r += ',';
        }
        r += "\"main_3\":" + std::to_string(9160001 + i) + "}";
    }
    return client::utf8ToWire(r + "]}");
}

void BM_LoadOverview30x40(benchmark::State& state)
{
    JListCtrl basic;
    JListCtrl extended;
    market::Overview overview(&basic, &extended);
    overview.buildColumns(Columns());
    const std::string reply = Reply(30);
    for (auto _ : state) {
        overview.LoadOverview(reply);
        QApplication::processEvents(); // the lists are filled on the GUI thread
    }
}
BENCHMARK(BM_LoadOverview30x40)->Unit(benchmark::kMillisecond);

void BM_PaintListOf300Rows(benchmark::State& state)
{
    JListCtrl list;
    for (int c = 0; c < 10; ++c)
        list.addColumn(QStringLiteral("列%1").arg(c), 90);
    for (int r = 0; r < 300; ++r) {
        QStringList cells;
        for (int c = 0; c < 10; ++c)
            cells << QString::number(r * 10 + c);
        list.appendRow(cells);
        list.setRowColour(r, QColor(233, 39, 76));
    }
    list.resize(920, 300 * 18 + 40); // every row visible
    list.show();
    QImage image(list.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&image);
        list.render(&p);
    }
}
BENCHMARK(BM_PaintListOf300Rows)->Unit(benchmark::kMillisecond);

} // namespace

VELMORA_QT_BENCHMARK_MAIN()
