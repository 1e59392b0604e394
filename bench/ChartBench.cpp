// Chart benchmarks at 1600 x 700: candle and time-share loads and polls, the indicators on
// against off, a full redraw against a one-slot short scroll, and the paint copy. Run by
// hand; figures go in the issue note.
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "chart/CDataElementKBar.h"
#include "chart/CDataElementPoint.h"
#include "chart/CKBarCtrl.h"
#include "chart/CSubArea.h"
#include "chart/CandleChart.h"
#include "chart/ChartCanvas.h"
#include "chart/DrawingLayer.h"
#include "chart/Drawings.h"
#include "chart/ReplyTail.h"
#include "chart/formula/Definition.h"
#include "chart/TimelineChart.h"
#include "platform/Fonts.h"
#include "platform/core/CrossThread.h"
#include "QtBenchmarkMain.h"

namespace {

constexpr QSize kSize(1600, 700);
constexpr int kBars = 120; // VisibleBarCount of a 1920-pixel work area

// `lastClose` moves the newest candle's close: two replies of one history as two polls see
// it while the running period trades.
std::string CandleReply(int count, double lastClose = 0)
{
    std::mt19937 rng(7);
    std::normal_distribution<double> step(0.0, 0.9);
    double price = 98;
    std::string s = "{\"success\":\"true\",\"msg\":\"\",\"infor\":[";
    for (int i = 0; i < count; ++i) {
        const double open = price;
        double close = std::max(1.0, open + step(rng));
        if (i == count - 1)
            close += lastClose;
        price = close;
        char rec[200];
        std::snprintf(rec, sizeof rec,
                      "%s{\"startPrice\":%.2f,\"endPrice\":%.2f,\"maxPrice\":%.2f,\"minPrice\":%.2f,\"time\":%d,"
                      "\"vol\":%d}",
                      i ? "," : "", open, close, std::max(open, close) + 0.3, std::min(open, close) - 0.3,
                      1700000000 + i * 86400, 100 + i % 977);
        s += rec;
    }
    return s + "]}";
}

// `shift` moves every price: another day, so nothing of the one before can be kept.
std::string TimelineReply(int count, double shift = 0)
{
    std::string s = "{\"success\":\"true\",\"infor\":[";
    for (int i = 0; i < count; ++i) {
        char rec[120];
        std::snprintf(rec, sizeof rec, "%s{\"averagePrice\":%.3f,\"price\":%.2f,\"vol\":%d}", i ? "," : "",
                      100 + shift + i * 0.001, 100 + shift + (i % 37) * 0.05, i % 300);
        s += rec;
    }
    return s + "]}";
}

// Indicators on: the averages over candles and volumes, and MACD under them.
chart::IndicatorChoice choiceWith(bool on)
{
    chart::IndicatorChoice choice;
    choice.movingAverages = choice.volumeAverages = on;
    choice.oscillator = on ? chart::Oscillator::Macd : chart::Oscillator::None;
    return choice;
}

struct CandleView
{
    explicit CandleView(bool indicators)
        : chart(ctrl)
    {
        ctrl.Create(nullptr, QRect(QPoint(0, 0), kSize), CKBarCtrl::kCandleChartId);
        chart.setIndicators(choiceWith(indicators));
        chart.setUp();
    }
    CKBarCtrl ctrl;
    chart::CandleChart chart;
};

// Arguments: indicators on (1) or off (0), candles. Every load reads its reply whole and
// refills every element, as the first load does: the period alternates between two of the
// same look.
void BM_FirstLoad(benchmark::State& state)
{
    CandleView view(state.range(0) != 0);
    const std::string reply = CandleReply(int(state.range(1)));
    int period = 8;
    for (auto _ : state) {
        period = period == 8 ? 9 : 8;
        benchmark::DoNotOptimize(view.chart.load(reply, period, kBars));
    }
}
BENCHMARK(BM_FirstLoad)->ArgsProduct({{0, 1}, {240, 10000}})->Unit(benchmark::kMicrosecond);

// A poll whose reply repeats the history and changes only the newest candle's close: the
// tail parse, the indicators from that candle on and the redraw of its slot.
void BM_PollNewestCandle(benchmark::State& state)
{
    CandleView view(state.range(0) != 0);
    const std::string replies[2] = {CandleReply(int(state.range(1))), CandleReply(int(state.range(1)), 0.05)};
    view.chart.load(replies[0], 8, kBars);
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(view.chart.load(replies[++i % 2], 8, kBars));
}
BENCHMARK(BM_PollNewestCandle)->ArgsProduct({{0, 1}, {240, 10000}})->Unit(benchmark::kMicrosecond);

// The same poll with MACD written as a trader's formula in place of the built-in oscillator:
// the formula's lines from the changed candle on, and their slot redrawn.
void BM_PollNewestCandleFormula(benchmark::State& state)
{
    CandleView view(true);
    const chart::formula::Definition* macd = nullptr;
    for (const chart::formula::Definition& d : chart::formula::builtinFormulas())
        if (d.name == "MACD")
            macd = &d;
    chart::IndicatorChoice choice = choiceWith(true);
    choice.oscillator = chart::Oscillator::None;
    choice.formula = macd->name;
    view.chart.setIndicators(choice, macd);
    const std::string replies[2] = {CandleReply(int(state.range(0))), CandleReply(int(state.range(0)), 0.05)};
    view.chart.load(replies[0], 8, kBars);
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(view.chart.load(replies[++i % 2], 8, kBars));
}
BENCHMARK(BM_PollNewestCandleFormula)->Arg(240)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

// One frame: the candle, volume and oscillator areas redrawn whole for the window shown.
void BM_Frame(benchmark::State& state)
{
    CandleView view(state.range(0) != 0);
    const int count = int(state.range(1));
    view.chart.load(CandleReply(count), 8, kBars);
    const chart::CandleWindow w = chart::candleWindowFor(count, kBars);
    int first = w.first;
    for (auto _ : state) {
        // Another slot count rescales, so every area draws in full.
        first = first == w.first ? w.first - 1 : w.first;
        view.ctrl.withCanvas([&](chart::ChartCanvas& c) {
            for (const char* area : {"N", "P", "I"})
                c.DrawRange(area, first, w.last);
        });
    }
}
BENCHMARK(BM_Frame)->ArgsProduct({{0, 1}, {240, 10000}})->Unit(benchmark::kMicrosecond);

// Poll to pixel: a reply that changed the newest candle, from the poller's thread having it
// in hand to the shown chart's paint on the GUI thread. Arguments: indicators, candles.
void BM_PollToPixel(benchmark::State& state)
{
    CandleView view(state.range(0) != 0);
    view.ctrl.show();
    PaintWatch watch;
    view.ctrl.installEventFilter(&watch);
    const std::string replies[2] = {CandleReply(int(state.range(1))), CandleReply(int(state.range(1)), 0.05)};
    chart::CandleReader reader; // the poller's
    view.chart.apply(*reader(replies[0], 8), kBars);
    QApplication::processEvents();
    int i = 0;
    for (auto _ : state) {
        watch.painted = false;
        const std::string& reply = replies[++i % 2];
        std::thread poller([&] {
            if (auto batch = reader(reply, 8))
                platform::postTo(&view.ctrl, [&view, b = std::move(*batch)] { view.chart.apply(b, kBars); });
        });
        poller.join();
        while (!watch.painted)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}
BENCHMARK(BM_PollToPixel)->ArgsProduct({{0, 1}, {240, 10000}})->Unit(benchmark::kMicrosecond)->UseRealTime();

// The window's paint: the image copy, and with indicators the legend over it.
void BM_PaintWithLegend(benchmark::State& state)
{
    CandleView view(state.range(0) != 0);
    view.chart.load(CandleReply(240), 8, kBars);
    QImage target(kSize, QImage::Format_RGB32);
    for (auto _ : state)
        view.ctrl.render(&target);
}
BENCHMARK(BM_PaintWithLegend)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// `count` drawings of every shape on the first item, written to the drawings file in `folder`.
void WriteDrawings(const std::filesystem::path& folder, int count)
{
    chart::DrawingBook::Items items;
    for (int i = 0; i < count; ++i) {
        chart::Drawing d;
        d.shape = chart::drawing::Shape(i % 8);
        const std::int64_t t = 1700000000 + std::int64_t(130 + i * 2) * 86400;
        d.points = {{t, 95.0 + i % 7}, {t + 20 * 86400, 99.0 - i % 5}, {t + 10 * 86400, 97.0}};
        d.points.resize(std::size_t(chart::drawing::pointCount(d.shape)));
        d.text = "支撑";
        items[market::kFirstItem].push_back(d);
    }
    chart::writeDrawings(folder, items);
}

// A frame with the trader's drawings: none against 50 of every shape, the indicators on.
// Second argument 0: a paint alone (the cross-hair moved); 1: the chart redrawn whole first
// (a scroll, a zoom); 2: a poll that changed the newest candle, then the paint.
void BM_PaintWithDrawings(benchmark::State& state)
{
    CandleView view(true);
    const QTemporaryDir dir;
    const std::filesystem::path folder = dir.path().toStdString();
    WriteDrawings(folder, int(state.range(0)));
    chart::DrawingLayer layer(view.ctrl, folder);
    view.ctrl.setDrawingLayer(&layer);
    view.chart.setLoadedHandler([&](int item, int period, const std::vector<chart::CandleRecord>& records) {
        layer.setCandles(item, period, records);
    });
    const std::string polls[2] = {CandleReply(240), CandleReply(240, 0.05)};
    view.chart.load(polls[0], 8, kBars);
    QImage target(kSize, QImage::Format_RGB32);
    const chart::CandleWindow w = chart::candleWindowFor(240, kBars);
    int first = w.first;
    int poll = 0;
    for (auto _ : state) {
        if (state.range(1) == 1) {
            first = first == w.first ? w.first - 1 : w.first;
            view.ctrl.withCanvas([&](chart::ChartCanvas& c) {
                for (const char* area : {"N", "P", "I"})
                    c.DrawRange(area, first, w.last);
            });
        } else if (state.range(1) == 2) {
            view.chart.load(polls[++poll % 2], 8, kBars);
        }
        view.ctrl.render(&target);
    }
    view.ctrl.setDrawingLayer(nullptr);
}
BENCHMARK(BM_PaintWithDrawings)->ArgsProduct({{0, 50}, {0, 1, 2}})->Unit(benchmark::kMicrosecond);

// The 50 drawings alone, painted over the candles as after each of their draws.
void BM_DrawingsOverCandles(benchmark::State& state)
{
    CandleView view(true);
    const QTemporaryDir dir;
    const std::filesystem::path folder = dir.path().toStdString();
    WriteDrawings(folder, 50);
    chart::DrawingLayer layer(view.ctrl, folder);
    view.chart.setLoadedHandler([&](int item, int period, const std::vector<chart::CandleRecord>& records) {
        layer.setCandles(item, period, records);
    });
    view.chart.load(CandleReply(240), 8, kBars);
    QImage target = view.ctrl.Snapshot();
    for (auto _ : state)
        benchmark::DoNotOptimize(layer.paint(target, target.rect()));
}
BENCHMARK(BM_DrawingsOverCandles)->Unit(benchmark::kMicrosecond);

void BM_ParseCandles(benchmark::State& state)
{
    const std::string reply = CandleReply(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(chart::parseCandleReply(reply));
}
BENCHMARK(BM_ParseCandles)->Arg(240)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The parse alone of a poll that changed the newest candle: the tail against the whole.
void BM_TailParseCandles(benchmark::State& state)
{
    const std::string replies[2] = {CandleReply(int(state.range(0))), CandleReply(int(state.range(0)), 0.05)};
    chart::ReplyTailReader reader;
    reader.read(replies[0]);
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(reader.read(replies[++i % 2]));
}
BENCHMARK(BM_TailParseCandles)->Arg(240)->Arg(10000)->Unit(benchmark::kMicrosecond);

// 241 candles whose extremes lie inside both windows, so that moving by one slot keeps the range.
void FillCandles(chart::ChartCanvas& c, int period = 8)
{
    c.AddSubArea("N", 0, 70, 0, 20, 20);
    c.AddSubArea("P", 1, 30, 0, 10, 25);
    c.AddDisplay(chart::DisplayKind::KBar, 0, "N1");
    c.AddDisplay(chart::DisplayKind::Histogram, 1, "P1");
    c.SetTitle("N", chart::kItemTitle);
    c.SetAxisLegend("N");
    for (int i = 0; i < 241; ++i) {
        CDataElementKBar b;
        const float base = i == 180 ? 140.0f : (i == 181 ? 60.0f : 100.0f + float(i % 13));
        b.open = base;
        b.close = base + float(i % 5) - 2;
        b.high = base + 3;
        b.low = base - 3;
        b.periodCode = period;
        b.time = 1700000000 + i * 7200;
        c.AppendElement(b, "N1");
        CDataElementPoint v;
        v.value = i == 180 ? 9000.0f : float(100 + i * 7);
        v.colour = i % 2 ? chart::kVolumeUp : chart::kVolumeDown;
        c.AppendElement(v, "P1");
    }
}

void BM_FullRedraw240(benchmark::State& state)
{
    chart::ChartCanvas c(kSize);
    FillCandles(c);
    int first = 120;
    for (auto _ : state) {
        first = first == 120 ? 121 : 120; // another slot count: always a full redraw
        c.DrawRange("N", first, 240);
        c.DrawRange("P", first, 240);
    }
}
BENCHMARK(BM_FullRedraw240)->Unit(benchmark::kMicrosecond);

// Argument: the period; 7 (120 minutes) also relabels the times under the plot.
void BM_ShortScroll240(benchmark::State& state)
{
    chart::ChartCanvas c(kSize);
    FillCandles(c, int(state.range(0)));
    c.DrawRange("N", 120, 240);
    c.DrawRange("P", 120, 240);
    int first = 120;
    for (auto _ : state) {
        first = first == 120 ? 119 : 120; // one slot older, then one newer
        c.DrawRange("N", first, first + 120);
        c.DrawRange("P", first, first + 120);
    }
    if (c.findSubArea("N")->lastScroll() == chart::ScrollKind::None)
        state.SkipWithError("the window move took a full redraw");
}
BENCHMARK(BM_ShortScroll240)->Arg(8)->Arg(7)->Unit(benchmark::kMicrosecond);

void BM_LoadTimeline361(benchmark::State& state)
{
    CKBarCtrl ctrl;
    ctrl.Create(nullptr, QRect(QPoint(0, 0), kSize), CKBarCtrl::kTimelineChartId);
    chart::TimelineChart timeline(ctrl);
    timeline.setUp();
    const std::string replies[2] = {TimelineReply(361), TimelineReply(361, 1)};
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(timeline.load(replies[++i % 2]));
}
BENCHMARK(BM_LoadTimeline361)->Unit(benchmark::kMicrosecond);

// A time-share poll that adds the day's next minute, from 300 minutes on.
void BM_PollTimelineMinute(benchmark::State& state)
{
    CKBarCtrl ctrl;
    ctrl.Create(nullptr, QRect(QPoint(0, 0), kSize), CKBarCtrl::kTimelineChartId);
    chart::TimelineChart timeline(ctrl);
    timeline.setUp();
    const std::string replies[2] = {TimelineReply(300), TimelineReply(301)};
    timeline.load(replies[0]);
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(timeline.load(replies[++i % 2]));
}
BENCHMARK(BM_PollTimelineMinute)->Unit(benchmark::kMicrosecond);

void BM_PaintCopy(benchmark::State& state)
{
    CKBarCtrl ctrl;
    ctrl.Create(nullptr, QRect(QPoint(0, 0), kSize), CKBarCtrl::kCandleChartId);
    chart::CandleChart candles(ctrl);
    candles.setIndicators(choiceWith(false));
    candles.setUp();
    candles.load(CandleReply(240), 8, kBars);
    QImage target(kSize, QImage::Format_RGB32);
    for (auto _ : state)
        ctrl.render(&target); // runs the control's paint: one locked image copy
}
BENCHMARK(BM_PaintCopy)->Unit(benchmark::kMicrosecond);

// The fonts a chart makes in its paint code, each sized to its cell height (measured once per
// face and height, then looked up).
void BM_FontsAtCellHeight(benchmark::State& state)
{
    int height = 9;
    for (auto _ : state) {
        benchmark::DoNotOptimize(platform::crispFont(QStringLiteral("宋体"), height));
        benchmark::DoNotOptimize(platform::font(QStringLiteral("Arial"), height));
        height = height == 24 ? 9 : height + 1;
    }
}
BENCHMARK(BM_FontsAtCellHeight)->Unit(benchmark::kMicrosecond);

} // namespace

VELMORA_QT_BENCHMARK_MAIN()
