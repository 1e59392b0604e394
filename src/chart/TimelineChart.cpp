#include "chart/TimelineChart.h"

#include <algorithm>

#include "chart/CDataElementPoint.h"
#include "chart/CandleChart.h"
#include "chart/CKBarCtrl.h"
#include "chart/CSubArea.h"
#include "chart/ChartReadout.h"
#include "client/CodePage.h"
#include "platform/Trace.h"
#include "session/Session.h"

namespace chart {
namespace {

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
    m_ctrl.setKeyHandler([this](int key) { return handleKey(key); });
    m_ctrl.setReadout([this](int index) { return timelineReadout(m_records, index, previousClose(), m_now()); });
}

TimelineChart::~TimelineChart()
{
    m_ctrl.setKeyHandler({});
    m_ctrl.setReadout({});
}

double TimelineChart::previousClose() const
{
    const std::optional<market::ItemEntry> entry = Session::current().findItem(m_code);
    return entry ? double(entry->referencePrice) : 0.0;
}

void TimelineChart::setCentredOnPreviousClose(bool on)
{
    m_ctrl.withCanvas([&](ChartCanvas& canvas) {
        m_onPreviousClose = on;
        CSubArea* prices = canvas.findSubArea("O");
        if (!prices || m_records.empty())
            return;
        prices->setCentre(on ? previousClose() : 0);
        canvas.DrawRange("O", 0, kTimelineSlots - 1);
    });
    m_ctrl.update();
}

bool TimelineChart::handleKey(int qtKey)
{
    if (qtKey != Qt::Key_Left && qtKey != Qt::Key_Right)
        return false;
    const int count = std::min(int(m_records.size()), kTimelineSlots);
    if (count == 0 || !m_setUp)
        return false;
    const int at = m_ctrl.keyCursor();
    // The first key shows the cross-hair on the newest minute, as on the candles.
    int next = count - 1;
    if (at >= 0)
        next = std::clamp(at + (qtKey == Qt::Key_Left ? -1 : 1), 0, count - 1);
    m_ctrl.setKeyCursor(next);
    return true;
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
    m_ctrl.update();
}

std::optional<TimelineBatch> TimelineReader::operator()(const std::string& wireReply, const market::CurrentItem& item)
{
    std::string text = client::wireToUtf8(wireReply);
    qCDebug(lcVelmoraTrace, "\n分时曲线\n");
    qCDebug(lcVelmoraTrace, "%s", text.c_str());
    qCDebug(lcVelmoraTrace, "\n结束分时曲线\n");
    return m_reader.read(std::move(text), item);
}

bool TimelineChart::load(std::string_view wireReply, const market::CurrentItem& item)
{
    const std::optional<TimelineBatch> batch = m_reader(std::string(wireReply), item);
    return batch && apply(*batch);
}

bool TimelineChart::apply(const TimelineBatch& batch)
{
    const market::CurrentItem& item = batch.item;
    const bool shown = m_ctrl.withCanvas([&](ChartCanvas& canvas) {
        const market::ShownGeneration::Verdict verdict = m_shown.offer(item.generation);
        if (verdict == market::ShownGeneration::Verdict::Drop)
            return false;
        if (verdict == market::ShownGeneration::Verdict::Newer) {
            m_records.clear();
            canvas.clearAll();
        }
        const std::size_t from = takeRecords(m_records, batch.from, batch.whole, batch.records);
        const std::vector<Colour> colours = volumeColours(m_records);
        const std::size_t n = m_records.size();
        canvas.refillDisplay("O1", from, n, [&](std::size_t i) { return point(m_records[i].averagePrice, kAverageColour); });
        canvas.refillDisplay("O2", from, n, [&](std::size_t i) { return point(m_records[i].price, kPriceColour); });
        canvas.refillDisplay("M1", from, n, [&](std::size_t i) { return point(double(m_records[i].vol), colours[i]); });
        m_code = item.code;
        if (CSubArea* prices = canvas.findSubArea("O"))
            prices->setCentre(m_onPreviousClose ? previousClose() : 0);
        canvas.SetTitle("O", itemTitle(item.code) + kTimelineTitleTail);
        canvas.SetAxisLegend("M");
        canvas.DrawRange("O", 0, kTimelineSlots - 1);
        canvas.DrawRange("M", 0, kTimelineSlots - 1);
        return true;
    });
    if (!shown)
        return false;
    m_ctrl.update();
    return true;
}

} // namespace chart
