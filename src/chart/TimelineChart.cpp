#include "chart/TimelineChart.h"

#include <atomic>

#include "chart/CDataElementPoint.h"
#include "chart/CKBarCtrl.h"
#include "platform/Trace.h"
#include "client/ApiReply.h"
#include "client/CodePage.h"

namespace chart {
namespace {

std::atomic<bool> g_timelineReady{true};

class ReadyFlag final
{
public:
    ReadyFlag() { m_taken = g_timelineReady.exchange(false); }
    ~ReadyFlag()
    {
        if (m_taken)
            g_timelineReady.store(true);
    }
    ReadyFlag(const ReadyFlag&) = delete;
    ReadyFlag& operator=(const ReadyFlag&) = delete;
    bool Taken() const { return m_taken; }

private:
    bool m_taken = false;
};

} // namespace

void SetUpTimelineChart(CKBarCtrl& ctrl)
{
    ctrl.AddSubArea("O", 0, 50, 60, 25, 10);
    ctrl.AddSubArea("M", 1, 50, 60, 10, 25);
    ctrl.AddDisplay(DisplayKind::PixelLine, 0, "O1");
    ctrl.AddDisplay(DisplayKind::PixelLine, 0, "O2");
    ctrl.AddDisplay(DisplayKind::VLine, 1, "M1");
}

bool LoadTimeline(CKBarCtrl& ctrl, std::string_view wireReply)
{
    const std::string text = client::WireToUtf8(wireReply);
    qCDebug(lcVelmoraTrace, "\n分时曲线\n");
    qCDebug(lcVelmoraTrace, "%s", text.c_str());
    qCDebug(lcVelmoraTrace, "\n结束分时曲线\n");
    const ReadyFlag ready;
    if (!ready.Taken())
        return false;
    const auto records = ParseTimelineReply(text);
    if (!records)
        return false;
    const std::vector<Colour> volumeColours = VolumeColours(*records);
    // One locked step from clearing to drawing, as for candles.
    ctrl.WithCanvas([&](ChartCanvas& canvas) {
        canvas.ClearDisplay("O1");
        canvas.ClearDisplay("O2");
        canvas.ClearDisplay("M1");
        CDataElementPoint point;
        point.colour = kAverageColour;
        for (const TimelineRecord& r : *records) {
            point.value = r.averagePrice;
            canvas.AppendElement(point, "O1");
        }
        point.colour = kPriceColour;
        for (const TimelineRecord& r : *records) {
            point.value = r.price;
            canvas.AppendElement(point, "O2");
        }
        for (std::size_t i = 0; i < records->size(); ++i) {
            point.value = float((*records)[i].vol);
            point.colour = volumeColours[i];
            canvas.AppendElement(point, "M1");
        }
        canvas.SetTitle("O", kTimelineTitle);
        canvas.SetAxisLegend("M");
        canvas.DrawRange("O", 0, kTimelineSlots - 1);
        canvas.DrawRange("M", 0, kTimelineSlots - 1);
    });
    ctrl.RequestRepaint();
    return true;
}

} // namespace chart
