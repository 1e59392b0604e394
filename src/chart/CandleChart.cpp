#include "chart/CandleChart.h"

#include <algorithm>
#include <optional>
#include <string>

#include "chart/CDataElementKBar.h"
#include "chart/CDataElementPoint.h"
#include "chart/CKBarCtrl.h"
#include "chart/CSubArea.h"
#include "chart/ChartReadout.h"
#include "client/CodePage.h"
#include "platform/Trace.h"
#include "session/Session.h"

namespace chart {
namespace {

// The displays of the indicators, in the order they are drawn.
constexpr std::array<const char*, 4> kPriceAverageDisplays{"N2", "N3", "N4", "N5"};
constexpr std::array<const char*, 3> kBollDisplays{"N6", "N7", "N8"};
constexpr std::array<const char*, 2> kVolumeAverageDisplays{"P2", "P3"};
// The MACD histogram, then the oscillator's lines.
constexpr const char* kStickDisplay = "I1";
constexpr std::array<const char*, 3> kOscillatorDisplays{"I2", "I3", "I4"};

struct OscillatorLegend
{
    const char* group;
    std::array<const char*, 3> labels; // of the lines in IndicatorSet::oscillatorLines order
};

OscillatorLegend legendOf(Oscillator o)
{
    switch (o) {
    case Oscillator::Macd:
        return {"MACD(12,26,9)", {"MACD", "DIF", "DEA"}};
    case Oscillator::Kdj:
        return {"KDJ(9,3,3)", {"K", "D", "J"}};
    case Oscillator::Rsi:
        return {"", {"RSI6", "RSI12", "RSI24"}};
    case Oscillator::Boll:
        return {"BOLL(20,2)", {"MID", "UPPER", "LOWER"}};
    case Oscillator::None:
        break;
    }
    return {"", {"", "", ""}};
}

bool oscillatorShown(const IndicatorChoice& choice)
{
    return choice.oscillator != Oscillator::None && choice.oscillator != Oscillator::Boll;
}

CDataElementPoint linePoint(const IndicatorLine& line, std::size_t i, Colour colour)
{
    CDataElementPoint p;
    p.colour = colour;
    p.value = line[i]; // a missing value stays NaN: nothing is drawn there
    return p;
}

std::optional<KLineKey> kLineKeyOf(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Left: return KLineKey::Left;
    case Qt::Key_Right: return KLineKey::Right;
    case Qt::Key_Up: return KLineKey::ZoomIn;
    case Qt::Key_Down: return KLineKey::ZoomOut;
    case Qt::Key_Home: return KLineKey::Home;
    case Qt::Key_End: return KLineKey::End;
    default: return std::nullopt;
    }
}

} // namespace

std::string itemTitle(int code)
{
    if (const std::optional<market::ItemEntry> entry = Session::current().findItem(code); entry && !entry->name.empty())
        return entry->name;
    return code == market::kFirstItem ? kItemTitle : std::to_string(code);
}

CandleChart::CandleChart(CKBarCtrl& ctrl)
    : m_ctrl(ctrl)
{
    m_ctrl.setKeyHandler([this](int key) { return handleKey(key); });
    m_ctrl.setReadout([this](int index) { return candleReadout(m_records, index, m_period); });
}

CandleChart::~CandleChart()
{
    m_ctrl.setKeyHandler({});
    m_ctrl.setReadout({});
}

KLineView CandleChart::currentView() const
{
    const int count = int(m_records.size());
    const int span = m_span > 0 ? m_span : m_visibleBarCount;
    const int first = m_first >= 0 ? std::min(m_first, std::max(0, count - span)) : candleWindowFor(count, span).first;
    return {first, span, m_ctrl.keyCursor()};
}

KLineView CandleChart::view() const
{
    return m_ctrl.withCanvas([&](ChartCanvas&) { return currentView(); });
}

bool CandleChart::handleKey(int qtKey)
{
    const std::optional<KLineKey> key = kLineKeyOf(qtKey);
    if (!key)
        return false;
    std::optional<KLineView> next;
    m_ctrl.withCanvas([&](ChartCanvas& canvas) {
        const int count = int(m_records.size());
        if (count == 0 || !m_setUp)
            return;
        next = applyKLineKey(currentView(), *key, count, kMinZoomSpan, maxSpan());
        m_span = next->span;
        // A window that reaches the newest candle keeps following them.
        m_first = next->first + next->span >= count ? -1 : next->first;
        drawAll(canvas);
    });
    if (!next)
        return false;
    m_ctrl.setKeyCursor(next->cursor);
    m_ctrl.update();
    return true;
}

void CandleChart::setUp()
{
    m_ctrl.withCanvas([&](ChartCanvas& c) {
        if (m_setUp)
            return;
        m_setUp = true;
        c.AddSubArea("N", 0, 70, 0, 20, 20);
        c.AddSubArea("P", 1, 30, 0, 10, 25);
        c.AddDisplay(DisplayKind::KBar, 0, "N1");
        c.AddDisplay(DisplayKind::Histogram, 1, "P1");
        // Hidden until an oscillator is chosen; its top margin holds the legend.
        c.AddSubArea(kOscillatorArea, 2, 0, 0, 20, 10);
        for (const char* name : kPriceAverageDisplays)
            c.AddDisplay(DisplayKind::PixelLine, 0, name);
        for (const char* name : kBollDisplays)
            c.AddDisplay(DisplayKind::PixelLine, 0, name);
        for (const char* name : kVolumeAverageDisplays)
            c.AddDisplay(DisplayKind::PixelLine, 1, name);
        for (const char* name : {"N2", "N3", "N4", "N5", "N6", "N7", "N8", "P2", "P3"})
            c.findDisplay(name)->setOverlay(true);
        c.AddDisplay(DisplayKind::Stick, 2, kStickDisplay);
        for (const char* name : kOscillatorDisplays)
            c.AddDisplay(DisplayKind::PixelLine, 2, name);
        for (std::size_t i = 0; i < kVolumeAverageDisplays.size(); ++i)
            c.findDisplay(kVolumeAverageDisplays[i])->setLegend("MA" + std::to_string(kVolumeMaPeriods[i]));
        m_formula.addDisplays(c);
        const IndicatorChoice choice = m_indicators.choice();
        m_indicators = {};
        applyChoice(c, choice, m_formula.definition() ? &*m_formula.definition() : nullptr);
    });
}

bool CandleChart::adopt(ChartCanvas& canvas, const market::CurrentItem& item)
{
    switch (m_shown.offer(item.generation)) {
    case market::ShownGeneration::Verdict::Drop: return false;
    case market::ShownGeneration::Verdict::Same: return true;
    case market::ShownGeneration::Verdict::Newer: break;
    }
    m_records.clear();
    canvas.clearAll();
    fillIndicators(canvas, 0);
    return true;
}

void CandleChart::showItem(const market::CurrentItem& item)
{
    const bool newer = m_ctrl.withCanvas([&](ChartCanvas& canvas) {
        const std::size_t before = m_records.size();
        adopt(canvas, item);
        return before != m_records.size();
    });
    if (newer && m_onLoaded)
        m_onLoaded(item.code, m_period, m_records);
    m_ctrl.update();
}

std::optional<CandleBatch> CandleReader::operator()(const std::string& wireReply, int periodCode,
                                                    const market::CurrentItem& item)
{
    std::string text = client::wireToUtf8(wireReply);
    qCDebug(lcVelmoraTrace, " 蜡烛图\n");
    qCDebug(lcVelmoraTrace, "%s", text.c_str());
    qCDebug(lcVelmoraTrace, " \n结束蜡烛图\n");
    std::optional<CandleBatch> batch = m_reader.read(std::move(text), item, periodCode);
    if (batch && batch->whole && batch->records.empty())
        return std::nullopt; // no records: the chart keeps what it shows
    return batch;
}

bool CandleChart::load(std::string_view wireReply, int periodCode, int visibleBarCount, const market::CurrentItem& item)
{
    const std::optional<CandleBatch> batch = m_reader(std::string(wireReply), periodCode, item);
    return batch && apply(*batch, visibleBarCount);
}

bool CandleChart::apply(const CandleBatch& batch, int visibleBarCount)
{
    const int periodCode = batch.periodCode;
    const market::CurrentItem& item = batch.item;
    // A window too narrow for a bar count still shows a chart.
    if (visibleBarCount <= 0)
        visibleBarCount = 40;
    const bool shown = m_ctrl.withCanvas([&](ChartCanvas& canvas) {
        if (!adopt(canvas, item))
            return false;
        const std::size_t changed = takeRecords(m_records, batch.from, batch.whole, batch.records);
        // Every candle carries its period: another period changes them all.
        const std::size_t from = periodCode == m_period ? changed : 0;
        if (periodCode != m_period && m_period != 0) {
            // Another period's candles: the window starts again at the newest, zoom kept.
            m_first = -1;
            m_ctrl.setKeyCursor(-1);
        }
        m_period = periodCode;
        m_visibleBarCount = visibleBarCount;
        const std::size_t n = m_records.size();
        canvas.refillDisplay("N1", from, n, [&](std::size_t i) {
            CDataElementKBar bar;
            const CandleRecord& r = m_records[i];
            bar.open = r.open;
            bar.close = r.close;
            bar.high = r.high;
            bar.low = r.low;
            bar.time = r.time;
            bar.periodCode = periodCode;
            bar.previousClose = i > 0 ? m_records[i - 1].close : 0;
            return bar;
        });
        canvas.refillDisplay("P1", from, n, [&](std::size_t i) {
            CDataElementPoint volume;
            const CandleRecord& r = m_records[i];
            volume.value = double(r.vol);
            volume.colour = r.close >= r.open ? kVolumeUp : kVolumeDown;
            return volume;
        });
        fillIndicators(canvas, from);
        canvas.SetTitle("N", itemTitle(item.code));
        canvas.SetAxisLegend("N");
        // Before the draw: what is drawn over the candles is placed by their times.
        if (m_onLoaded)
            m_onLoaded(item.code, periodCode, m_records);
        drawAll(canvas);
        return true;
    });
    if (!shown)
        return false;
    m_ctrl.update();
    return true;
}

void CandleChart::setIndicators(const IndicatorChoice& choice, const formula::Definition* formula)
{
    m_ctrl.withCanvas([&](ChartCanvas& canvas) {
        applyChoice(canvas, choice, formula);
        if (!m_records.empty())
            drawAll(canvas);
    });
    m_ctrl.update();
}

IndicatorChoice CandleChart::indicators() const
{
    return m_ctrl.withCanvas([&](ChartCanvas&) { return m_indicators.choice(); });
}

bool CandleChart::lowerAreaShown() const
{
    return oscillatorShown(m_indicators.choice()) || m_formula.inOscillatorArea();
}

void CandleChart::applyChoice(ChartCanvas& canvas, const IndicatorChoice& choice, const formula::Definition* formula)
{
    const bool shownBefore = lowerAreaShown();
    m_indicators.setChoice(choice);
    m_formula.set(canvas, choice.formula.empty() ? nullptr : formula);
    const bool relayout = shownBefore != lowerAreaShown() || !m_setUp;
    if (!m_setUp)
        return;
    for (std::size_t i = 0; i < kPriceAverageDisplays.size(); ++i)
        canvas.findDisplay(kPriceAverageDisplays[i])->setLegend("MA" + std::to_string(choice.maPeriods[i]));
    // The volume is named beside its averages; without them the area is the specified one.
    canvas.findDisplay("P1")->setLegend(choice.volumeAverages ? "VOL" : "");
    const OscillatorLegend legend = legendOf(choice.oscillator);
    const bool boll = choice.oscillator == Oscillator::Boll;
    for (std::size_t i = 0; i < kBollDisplays.size(); ++i)
        canvas.findDisplay(kBollDisplays[i])->setLegend(boll ? legend.labels[i] : "", boll ? legend.group : "");
    // MACD draws its histogram with the stick display and two lines; the others three lines.
    const bool macd = choice.oscillator == Oscillator::Macd;
    canvas.findDisplay(kStickDisplay)->setLegend(macd ? legend.labels[0] : "", legend.group);
    for (std::size_t i = 0; i < kOscillatorDisplays.size(); ++i) {
        const std::size_t line = macd ? i + 1 : i;
        const char* label = boll || line >= legend.labels.size() ? "" : legend.labels[line];
        canvas.findDisplay(kOscillatorDisplays[i])->setLegend(label, macd ? "" : legend.group);
    }
    fillIndicators(canvas, 0);
    if (relayout)
        layOut(canvas);
}

void CandleChart::fillIndicators(ChartCanvas& canvas, std::size_t from)
{
    const std::size_t n = m_records.size();
    from = m_indicators.update(m_records, from);
    const IndicatorChoice& choice = m_indicators.choice();
    // A display whose line is not chosen is emptied.
    auto fill = [&](const char* display, const IndicatorLine* line, Colour colour) {
        if (!line) {
            canvas.truncateDisplay(display, 0);
            return;
        }
        canvas.refillDisplay(display, from, n, [&](std::size_t i) { return linePoint(*line, i, colour); });
    };
    const auto& averages = m_indicators.priceAverages();
    for (std::size_t i = 0; i < kPriceAverageDisplays.size(); ++i)
        fill(kPriceAverageDisplays[i], i < averages.size() ? &averages[i] : nullptr, kAverageColours[i]);
    const auto& volumeAverages = m_indicators.volumeAverages();
    for (std::size_t i = 0; i < kVolumeAverageDisplays.size(); ++i)
        fill(kVolumeAverageDisplays[i], i < volumeAverages.size() ? &volumeAverages[i] : nullptr, kAverageColours[i]);

    const std::vector<const IndicatorLine*> lines = m_indicators.oscillatorLines();
    const bool boll = choice.oscillator == Oscillator::Boll;
    const bool macd = choice.oscillator == Oscillator::Macd;
    for (std::size_t i = 0; i < kBollDisplays.size(); ++i)
        fill(kBollDisplays[i], boll ? lines[i] : nullptr, kBollColours[i]);
    if (macd) {
        const IndicatorLine& histogram = *lines[0];
        canvas.refillDisplay(kStickDisplay, from, n, [&](std::size_t i) {
            return linePoint(histogram, i, histogram[i] >= 0 ? kCandleRise : kCandleFall);
        });
    } else {
        fill(kStickDisplay, nullptr, kBlack);
    }
    for (std::size_t i = 0; i < kOscillatorDisplays.size(); ++i) {
        const std::size_t line = macd ? i + 1 : i;
        const bool shown = oscillatorShown(choice) && line < lines.size();
        fill(kOscillatorDisplays[i], shown ? lines[line] : nullptr, kAverageColours[i]);
    }
    m_formula.fill(canvas, m_records, from);
}

void CandleChart::layOut(ChartCanvas& canvas) const
{
    const int h = canvas.Size().height();
    // Hidden, the specified 70 % and 30 %; shown, the same proportion of what it leaves.
    if (!lowerAreaShown()) {
        canvas.layOutRows({70 * h / 100, 30 * h / 100, 0});
        return;
    }
    const int oscillator = kOscillatorPercent * h / 100;
    const int rest = h - oscillator;
    canvas.layOutRows({70 * rest / 100, 30 * rest / 100, oscillator});
}

void CandleChart::drawAll(ChartCanvas& canvas) const
{
    const KLineView v = currentView();
    const CandleWindow w{v.first, v.first + v.span};
    canvas.DrawRange("N", w.first, w.last);
    canvas.DrawRange("P", w.first, w.last);
    canvas.DrawRange(kOscillatorArea, w.first, w.last);
}

} // namespace chart
