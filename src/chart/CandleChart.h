#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chart/ChartColour.h"
#include "chart/ChartReplies.h"
#include "chart/FormulaPlot.h"
#include "chart/Indicators.h"
#include "chart/KLineKeys.h"
#include "chart/ReplyTail.h"
#include "session/Records.h"

class CKBarCtrl;

namespace chart {

class ChartCanvas;

inline constexpr const char* kItemTitle = "Tolmere小酒窖";
inline constexpr int kDefaultPeriodCode = 8;

// A chart's title for an item: its name in the item table; the first item's own name, or
// the code, before the table lists it.
std::string itemTitle(int code);

// The indicator lines' own colours, none of them one the chart already uses: for MA5, MA10,
// MA20 and MA60 (and the volume's MA5 and MA10), and for the first, second and third line of
// an oscillator. BOLL's three lines share the price area with the averages, so they have
// colours of their own.
inline constexpr std::array<Colour, 4> kAverageColours{Rgb(255, 255, 255), Rgb(255, 170, 0), Rgb(230, 0, 230),
                                                       Rgb(64, 160, 255)};
inline constexpr std::array<Colour, 3> kBollColours{Rgb(200, 200, 120), Rgb(0, 200, 150), Rgb(255, 120, 200)};

struct CandleWindow
{
    int first = 0;
    int last = 0;
};

// The element window for `count` candles in visibleBarCount + 1 slots: from the left while
// they fit, else the newest ones.
CandleWindow candleWindowFor(int count, int visibleBarCount);

using CandleBatch = RecordBatch<CandleRecord>;

// The candle poll's reader, on the poller's thread: each changed reply traced and read, its
// tail only when it repeats the last. Nothing for a reply that leaves the chart as it is.
class CandleReader final
{
public:
    std::optional<CandleBatch> operator()(const std::string& wireReply, int periodCode,
                                          const market::CurrentItem& item = {});

private:
    RecordReader<CandleRecord> m_reader;
};

// The K-line chart on one control: the candle area "N" and the volume area "P" as specified,
// moving averages drawn over them, and under them, on request, the oscillator area "I".
// Loads keep the candle history: a poll that repeats it and changes only its newest candles
// parses, computes and draws only those.
class CandleChart final
{
public:
    static constexpr const char* kOscillatorArea = "I";
    // The oscillator area's share of the chart's height; the candle and volume areas give it
    // room in their own proportion.
    static constexpr int kOscillatorPercent = 25;

    explicit CandleChart(CKBarCtrl& ctrl);
    ~CandleChart();
    CandleChart(const CandleChart&) = delete;
    CandleChart& operator=(const CandleChart&) = delete;

    // Creates the areas and displays (first show); does nothing the second time.
    void setUp();

    // Takes the candles a poll read and draws what changed. A batch asked for an item the
    // chart has since left is dropped. Returns false when it was dropped.
    bool apply(const CandleBatch& batch, int visibleBarCount);
    // Reads a candle reply (wire text) here and applies it.
    bool load(std::string_view wireReply, int periodCode, int visibleBarCount,
              const market::CurrentItem& item = {});
    // Empties the chart for a newly chosen item until its first reply.
    void showItem(const market::CurrentItem& item);

    // Shows the chosen indicators over the history already loaded; `formula` is the trader's
    // formula the choice names (nullptr when it names none, or one that is gone).
    void setIndicators(const IndicatorChoice& choice, const formula::Definition* formula = nullptr);
    IndicatorChoice indicators() const;

    CKBarCtrl& control() const { return m_ctrl; }

    // The window's keys (window thread): Left/Right move the cross-hair a candle and scroll
    // at the window's edges, Up/Down zoom in and out, Home/End jump to the oldest and newest
    // candle. False for any other key, or while no candle is loaded.
    bool handleKey(int qtKey);
    // Called at each load with the item, the period and the candles, before they are drawn.
    using LoadedHandler = std::function<void(int item, int periodCode, const std::vector<CandleRecord>&)>;
    void setLoadedHandler(LoadedHandler handler) { m_onLoaded = std::move(handler); }

    // The candles in the window now: first, count, and the key cursor.
    KLineView view() const;

private:
    void applyChoice(ChartCanvas& canvas, const IndicatorChoice& choice, const formula::Definition* formula);
    // The oscillator area is shown: for an oscillator, or a formula placed there.
    bool lowerAreaShown() const;
    void fillIndicators(ChartCanvas& canvas, std::size_t from);
    void layOut(ChartCanvas& canvas) const;
    void drawAll(ChartCanvas& canvas) const;
    KLineView currentView() const;
    int maxSpan() const { return kMaxZoomFactor * m_visibleBarCount; }
    // False when the item's replies come too late; empties the chart for a newer one.
    bool adopt(ChartCanvas& canvas, const market::CurrentItem& item);

    CKBarCtrl& m_ctrl;
    CandleReader m_reader; // of the replies loaded here rather than polled
    bool m_setUp = false;
    std::vector<CandleRecord> m_records;
    int m_period = 0;
    int m_visibleBarCount = 40;
    // The keys' window: candles in it (0: the usual count) and its first candle (-1:
    // the newest, following new candles as they come).
    int m_span = 0;
    int m_first = -1;
    IndicatorSet m_indicators;
    FormulaPlot m_formula;
    market::ShownGeneration m_shown;
    LoadedHandler m_onLoaded;
};

} // namespace chart
