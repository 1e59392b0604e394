#pragma once

#include <atomic>
#include <string_view>

#include <QRect>

#include "chart/PeriodBar.h"

class CKBarCtrl;
class QWidget;

namespace chart {

// The market window's two charts in one place: the candle chart (id 1000) and the time-share
// chart (id 1001), created together in the chart rectangle, shown one at a time, each set up
// the first time it is shown. The load functions are what the market-data poller calls.
class MarketCharts final
{
public:
    enum class View { None, Timeline, Candles };
    // Request kinds of the market-data poller.
    static constexpr int kCandleRequest = 0;
    static constexpr int kTimelineRequest = 1;

    MarketCharts() = default;
    MarketCharts(const MarketCharts&) = delete;
    MarketCharts& operator=(const MarketCharts&) = delete;

    // Creates both controls hidden as children of `parent` at `chartRect`; the window's
    // VisibleBarCount sizes the candle window.
    bool Create(QWidget* parent, const QRect& chartRect, int visibleBarCount);
    CKBarCtrl* Candles() const { return m_candles; }
    CKBarCtrl* Timeline() const { return m_timeline; }

    // Chart tab 0: shows the time-share chart and clears the period flags. Post request 1 next.
    void ShowTimeline(PeriodBar::Flags& flags);
    // Chart tab 1: shows the candle chart and returns the period code to post with request 0;
    // with no period chosen it marks the daily period.
    int ShowCandles(PeriodBar::Flags& flags);
    void HideBoth();
    View Visible() const { return m_view; }

    // Poller side, any thread: the reply texts as received.
    bool LoadCandles(std::string_view wireReply, int periodCode);
    bool LoadTimeline(std::string_view wireReply);

private:
    CKBarCtrl* m_candles = nullptr;
    CKBarCtrl* m_timeline = nullptr;
    std::atomic<int> m_visibleBarCount{0};
    bool m_candlesSetUp = false;
    bool m_timelineSetUp = false;
    View m_view = View::None;
};

} // namespace chart
