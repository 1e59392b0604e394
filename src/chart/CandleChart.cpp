#include "chart/CandleChart.h"

#include <atomic>

#include "chart/CDataElementKBar.h"
#include "chart/CDataElementPoint.h"
#include "chart/CKBarCtrl.h"
#include "platform/Trace.h"
#include "client/ApiReply.h"
#include "client/CodePage.h"

namespace chart {
namespace {

// A reply that arrives while the previous one is still loading is dropped; the poller
// sends the next one on its next cycle.
std::atomic<bool> g_candleLoadRunning{false};

class RunningFlag final
{
public:
    RunningFlag() { m_taken = !g_candleLoadRunning.exchange(true); }
    ~RunningFlag()
    {
        if (m_taken)
            g_candleLoadRunning.store(false);
    }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;
    bool Taken() const { return m_taken; }

private:
    bool m_taken = false;
};

} // namespace

void SetUpCandleChart(CKBarCtrl& ctrl)
{
    ctrl.AddSubArea("N", 0, 70, 0, 20, 20);
    ctrl.AddSubArea("P", 1, 30, 0, 10, 25);
    ctrl.AddDisplay(DisplayKind::KBar, 0, "N1");
    ctrl.AddDisplay(DisplayKind::Histogram, 1, "P1");
}

bool LoadCandles(CKBarCtrl& ctrl, std::string_view wireReply, int periodCode, int visibleBarCount)
{
    const RunningFlag running;
    if (!running.Taken())
        return false;
    const std::string text = client::WireToUtf8(wireReply);
    qCDebug(lcVelmoraTrace, " 蜡烛图\n");
    qCDebug(lcVelmoraTrace, "%s", text.c_str());
    qCDebug(lcVelmoraTrace, " \n结束蜡烛图\n");
    const auto records = ParseCandleReply(text);
    if (!records || records->empty())
        return false;
    // A window too narrow for a bar count still shows a chart.
    if (visibleBarCount <= 0)
        visibleBarCount = 40;
    // One locked step from clearing to drawing: a paint never sees a half-loaded chart, so
    // no pause between the steps is needed.
    ctrl.WithCanvas([&](ChartCanvas& canvas) {
        canvas.ClearDisplay("N1");
        canvas.ClearDisplay("P1");
        CDataElementKBar bar;
        float previousClose = 0;
        for (const CandleRecord& r : *records) {
            bar.open = r.open;
            bar.close = r.close;
            bar.high = r.high;
            bar.low = r.low;
            bar.time = r.time;
            bar.periodCode = periodCode;
            bar.previousClose = previousClose;
            previousClose = r.close;
            canvas.AppendElement(bar, "N1");
        }
        CDataElementPoint volume;
        for (const CandleRecord& r : *records) {
            volume.value = float(r.vol);
            volume.colour = r.close >= r.open ? kVolumeUp : kVolumeDown;
            canvas.AppendElement(volume, "P1");
        }
        canvas.SetTitle("N", kItemTitle);
        canvas.SetAxisLegend("N");
        const CandleWindow w = CandleWindowFor(int(records->size()), visibleBarCount);
        canvas.DrawRange("N", w.first, w.last);
        canvas.DrawRange("P", w.first, w.last);
    });
    ctrl.RequestRepaint();
    return true;
}

} // namespace chart
