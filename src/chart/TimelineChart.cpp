#include "chart/TimelineChart.h"

#include <algorithm>
#include <atomic>

#include "chart/CDataElementPoint.h"
#include "chart/CandleChart.h"
#include "chart/CKBarCtrl.h"
#include "client/CodePage.h"
#include "platform/Trace.h"

namespace chart {
namespace {

// Per process, like the drawing it guards: a reply that arrives while the previous one is still
// drawing is dropped.
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

CDataElementPoint point(double value, Colour colour)
{
    CDataElementPoint p;
    p.value = value;
    p.colour = colour;
    return p;
}

} // namespace

TimelineChart::TimelineChart(CKBarCtrl& ctrl)
    : m_ctrl(ctrl)
{
}

void TimelineChart::setUp()
{
    m_ctrl.withCanvas([&](ChartCanvas& c) {
        if (m_setUp)
            return;
        m_setUp = true;
        c.AddSubArea("O", 0, 50, 60, 25, 10);
        c.AddSubArea("M", 1, 50, 60, 10, 25);
        c.AddDisplay(DisplayKind::PixelLine, 0, "O1");
        c.AddDisplay(DisplayKind::PixelLine, 0, "O2");
        c.AddDisplay(DisplayKind::VLine, 1, "M1");
    });
}

void TimelineChart::showItem(const market::CurrentItem& item)
{
    m_ctrl.withCanvas([&](ChartCanvas& canvas) {
        if (m_shown.offer(item.generation) != market::ShownGeneration::Verdict::Newer)
            return;
        m_records.clear();
        canvas.clearAll();
    });
    m_ctrl.requestRepaint();
}

bool TimelineChart::load(std::string_view wireReply, const market::CurrentItem& item)
{
    std::string text = client::wireToUtf8(wireReply);
    qCDebug(lcVelmoraTrace, "\n分时曲线\n");
    qCDebug(lcVelmoraTrace, "%s", text.c_str());
    qCDebug(lcVelmoraTrace, "\n结束分时曲线\n");
    const ReadyFlag ready;
    if (!ready.Taken())
        return false;
    // Another item's day is another text.
    if (item.generation != m_readGeneration)
        m_reader.forget();
    m_readGeneration = item.generation;
    ReplyTailReader::Result read = m_reader.read(std::move(text));
    if (!read.reply.success)
        return false;
    const std::vector<TimelineRecord> records = timelineRecords(read.reply.infor);
    // One locked step from changing to drawing, as for candles.
    const bool shown = m_ctrl.withCanvas([&](ChartCanvas& canvas) {
        const market::ShownGeneration::Verdict verdict = m_shown.offer(item.generation);
        if (verdict == market::ShownGeneration::Verdict::Drop)
            return false;
        if (verdict == market::ShownGeneration::Verdict::Newer) {
            m_records.clear();
            canvas.clearAll();
        }
        const std::size_t from = takeRecords(m_records, read, records);
        const std::vector<Colour> colours = volumeColours(m_records);
        const std::size_t n = m_records.size();
        canvas.refillDisplay("O1", from, n, [&](std::size_t i) { return point(m_records[i].averagePrice, kAverageColour); });
        canvas.refillDisplay("O2", from, n, [&](std::size_t i) { return point(m_records[i].price, kPriceColour); });
        canvas.refillDisplay("M1", from, n, [&](std::size_t i) { return point(double(m_records[i].vol), colours[i]); });
        canvas.SetTitle("O", itemTitle(item.code) + kTimelineTitleTail);
        canvas.SetAxisLegend("M");
        canvas.DrawRange("O", 0, kTimelineSlots - 1);
        canvas.DrawRange("M", 0, kTimelineSlots - 1);
        return true;
    });
    if (!shown)
        return false;
    m_ctrl.requestRepaint();
    return true;
}

} // namespace chart
