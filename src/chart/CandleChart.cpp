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

std::optional<std::vector<CandleRecord>> ParseCandleReply(std::string_view utf8)
{
    const client::ApiReply reply = client::ApiReply::FromUtf8(utf8);
    if (!reply.success)
        return std::nullopt;
    const Json::Value* infor = &reply.infor;
    std::vector<CandleRecord> records;
    if (!infor->isArray())
        return records;
    records.reserve(infor->size());
    for (const Json::Value& r : *infor) {
        CandleRecord c;
        c.open = float(client::JsonReal(r, "startPrice"));
        c.close = float(client::JsonReal(r, "endPrice"));
        c.high = float(client::JsonReal(r, "maxPrice"));
        c.low = float(client::JsonReal(r, "minPrice"));
        c.time = static_cast<std::int32_t>(static_cast<std::uint32_t>(client::JsonInt64(r, "time")));
        c.vol = client::JsonInt(r, "vol");
        records.push_back(c);
    }
    return records;
}

CandleWindow CandleWindowFor(int count, int visibleBarCount)
{
    if (count <= visibleBarCount)
        return {0, visibleBarCount};
    return {count - visibleBarCount, count};
}

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
