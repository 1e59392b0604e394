// The K-line with its indicators: drawn over the specified chart without moving it, the
// oscillator area, the legend at the cross-hair, and polls that redraw only what changed
// giving the picture of a whole load.
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QImage>
#include <QTest>
#include <QWidget>

#include "ChartData.h"
#include "ChartHost.h"
#include "chart/CDataElementKBar.h"
#include "chart/CKBarCtrl.h"
#include "chart/CSubArea.h"
#include "chart/CSubAreaDisplayOne.h"
#include "chart/CandleChart.h"
#include "chart/ChartLegend.h"
#include "chart/TimelineChart.h"
#include "support/Pixels.h"

using namespace chart;

namespace {

IndicatorChoice AllOff()
{
    IndicatorChoice c;
    c.movingAverages = c.volumeAverages = false;
    return c;
}

IndicatorChoice With(Oscillator o)
{
    IndicatorChoice c;
    c.oscillator = o;
    return c;
}

// A reply as the exchange writes it, from records the test edits.
std::string Reply(const std::vector<CandleRecord>& records)
{
    std::string s = "{\"success\":\"true\",\"msg\":\"\",\"infor\":[";
    for (std::size_t i = 0; i < records.size(); ++i) {
        const CandleRecord& r = records[i];
        char rec[256];
        std::snprintf(rec, sizeof rec,
                      "%s{\"startPrice\":%.2f,\"endPrice\":%.2f,\"maxPrice\":%.2f,\"minPrice\":%.2f,\"time\":%d,"
                      "\"vol\":%lld}",
                      i ? "," : "", r.open, r.close, r.high, r.low, r.time, static_cast<long long>(r.vol));
        s += rec;
    }
    return s + "]}";
}

std::string MinuteReply(const std::vector<TimelineRecord>& records)
{
    std::string s = "{\"success\":\"true\",\"msg\":\"\",\"infor\":[";
    for (std::size_t i = 0; i < records.size(); ++i) {
        char rec[160];
        std::snprintf(rec, sizeof rec, "%s{\"averagePrice\":%.3f,\"price\":%.2f,\"vol\":%lld}", i ? "," : "",
                      records[i].averagePrice, records[i].price, static_cast<long long>(records[i].vol));
        s += rec;
    }
    return s + "]}";
}

const CSubArea& Area(CandleChart& c, const char* name)
{
    return *c.control().withCanvas([&](ChartCanvas& canvas) { return canvas.findSubArea(name); });
}

std::vector<std::string> LegendTexts(const CKBarCtrl& ctrl, const std::string& area)
{
    std::vector<std::string> texts;
    for (const LegendRow& row : ctrl.legend())
        if (row.area->Name() == area)
            for (const LegendItem& item : row.items)
                texts.push_back(item.text);
    return texts;
}

// The average of prices given to the cent, worked out in whole cents and rounded half up:
// what the legend has to show, with no binary fraction in the way.
std::string AverageText(const std::vector<double>& prices)
{
    long long cents = 0;
    for (const double p : prices)
        cents += std::llround(p * 100);
    const long long n = static_cast<long long>(prices.size());
    const long long rounded = (2 * cents + n) / (2 * n);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%lld.%02lld", rounded / 100, rounded % 100);
    return buf;
}

} // namespace

class IndicatorChartTest final : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_host.open()); }
    void cleanup() { m_host.close(); }

    void averagesAndBollDrawOverTheSpecifiedChart()
    {
        // The candles, volumes, frames, scales and labels are those of a chart without
        // indicators, pixel for pixel: the lines are drawn over them and nothing else changes.
        const std::string reply = CandleReply(300);
        CandleChart* off = m_host.candles(AllOff());
        QVERIFY(off->load(reply, 8, 80));
        const QImage plain = off->control().Snapshot();
        // Without indicators there is no legend either: the window shows the image as it is.
        QCOMPARE(off->control().grab().toImage().convertToFormat(QImage::Format_RGB32), plain);
        IndicatorChoice boll;
        boll.oscillator = Oscillator::Boll;
        for (const IndicatorChoice& choice : {IndicatorChoice{}, boll}) {
            CandleChart* on = m_host.candles(choice);
            QVERIFY(on->load(reply, 8, 80));
            const QImage drawn = on->control().Snapshot();
            QCOMPARE(drawn.size(), plain.size());
            int lines = 0;
            for (int y = 0; y < drawn.height(); ++y)
                for (int x = 0; x < drawn.width(); ++x) {
                    if (drawn.pixel(x, y) == plain.pixel(x, y))
                        continue;
                    const QRgb c = drawn.pixel(x, y) & 0xffffff;
                    auto is = [c](Colour a) { return (toQColor(a).rgb() & 0xffffff) == c; };
                    const bool lineColour = std::any_of(kAverageColours.begin(), kAverageColours.end(), is)
                                            || std::any_of(kBollColours.begin(), kBollColours.end(), is);
                    QVERIFY2(lineColour, qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
                    ++lines;
                }
            QVERIFY(lines > 1000);
            for (const char* name : {"N", "P"}) {
                QCOMPARE(Area(*on, name).Top(), Area(*off, name).Top());
                QCOMPARE(Area(*on, name).Height(), Area(*off, name).Height());
                QCOMPARE(Area(*on, name).Scale().max, Area(*off, name).Scale().max);
            }
            QCOMPARE(Area(*on, "I").Height(), 0);
            SaveIfAsked(on->control().grab().toImage(), choice == boll ? "kline-boll.png" : "kline-ma.png");
        }
    }

    void oscillatorsTakeTheirAreaUnderTheVolumes()
    {
        const std::string reply = CandleReply(300);
        CandleChart* chart = m_host.candles(IndicatorChoice{});
        QVERIFY(chart->load(reply, 8, 80));
        const int h = ChartHost::kChartRect.height();
        const int oscillator = h * CandleChart::kOscillatorPercent / 100;
        struct Case
        {
            Oscillator oscillator;
            const char* firstLegend;
            const char* png;
        };
        for (const Case& c : {Case{Oscillator::Macd, "MACD(12,26,9)", "kline-macd.png"},
                              Case{Oscillator::Kdj, "KDJ(9,3,3)", "kline-kdj.png"},
                              Case{Oscillator::Rsi, "RSI6:", "kline-rsi.png"}}) {
            chart->setIndicators(With(c.oscillator));
            const CSubArea& n = Area(*chart, "N");
            const CSubArea& p = Area(*chart, "P");
            const CSubArea& i = Area(*chart, "I");
            // The candles and volumes keep their 70 : 30 of what the oscillator leaves.
            QCOMPARE(n.Height(), 70 * (h - oscillator) / 100);
            QCOMPARE(p.Height(), 30 * (h - oscillator) / 100);
            QCOMPARE(i.Top(), n.Height() + p.Height());
            QCOMPARE(i.Height(), oscillator);
            const QImage img = chart->control().Snapshot();
            const QRect band(0, i.Top(), ChartHost::kChartRect.width(), i.Height());
            QVERIFY(testsupport::CountColour(img, band, toQColor(kAverageColours[0])) > 50);
            if (c.oscillator == Oscillator::Macd) {
                QVERIFY(testsupport::CountColour(img, band, toQColor(kCandleRise)) > 20);
                QVERIFY(testsupport::CountColour(img, band, toQColor(kCandleFall)) > 20);
            }
            const std::vector<std::string> legend = LegendTexts(chart->control(), "I");
            QVERIFY(!legend.empty());
            QVERIFY(legend.front().rfind(c.firstLegend, 0) == 0);
            SaveIfAsked(chart->control().grab().toImage(), c.png);
        }
        // Put away again, the chart is the one that never had it, pixel for pixel.
        chart->setIndicators(IndicatorChoice{});
        CandleChart* fresh = m_host.candles(IndicatorChoice{});
        QVERIFY(fresh->load(reply, 8, 80));
        QCOMPARE(chart->control().Snapshot(), fresh->control().Snapshot());
    }

    void legendFollowsTheCrossHair()
    {
        const std::string reply = CandleReply(300);
        const std::vector<CandleRecord> records = *parseCandleReply(reply);
        CandleChart* chart = m_host.candles(IndicatorChoice{});
        QVERIFY(chart->load(reply, 8, 80));
        CKBarCtrl& ctrl = chart->control();
        auto ma = [&](int period, int at) {
            std::vector<double> closes;
            for (int j = at - period + 1; j <= at; ++j)
                closes.push_back(records[std::size_t(j)].close);
            return AverageText(closes);
        };
        auto expectAt = [&](int at) {
            const std::vector<std::string> n = LegendTexts(ctrl, "N");
            QCOMPARE(n.size(), std::size_t(4));
            QCOMPARE(n[0], "MA5:" + ma(5, at));
            QCOMPARE(n[3], "MA60:" + ma(60, at));
            const std::vector<std::string> p = LegendTexts(ctrl, "P");
            QCOMPARE(p.front(), "VOL:" + std::to_string(records[std::size_t(at)].vol));
        };
        expectAt(299); // no cross-hair: the newest candle

        const CSubArea& n = Area(*chart, "N");
        const int w = n.Scale().slotWidth;
        const QPoint slot10(n.Scale().plotLeft + 10 * w + w / 2, 200);
        QTest::mouseClick(&ctrl, Qt::LeftButton, {}, slot10);
        QTest::mouseMove(&ctrl, slot10);
        QTRY_COMPARE(ctrl.crossHairPos().x(), slot10.x());
        expectAt(n.firstDrawn() + 10);
        // Painted over the chart in each line's colour.
        const QImage shown = ctrl.grab().toImage();
        QVERIFY(testsupport::HasTextInColour(shown, legendBand(n), toQColor(kAverageColours[0])));
        QVERIFY(testsupport::HasTextInColour(shown, legendBand(n), toQColor(kAverageColours[3])));
        SaveIfAsked(shown, "kline-legend.png");

        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&ctrl, &leave);
        expectAt(299);
    }

    void aShortHistoryShowsExactPricesAndEveryOscillatorFromItsFirstCandle()
    {
        // A monthly history of 20 candles of a dear item: the legend's prices and volumes are
        // the reply's to the last digit, and MACD and RSI have values on the first candles.
        std::vector<CandleRecord> records;
        for (int i = 0; i < 20; ++i) {
            const double close = 131072.01 + 0.01 * i;
            records.push_back({close - 0.05, close, close + 0.1, close - 0.1, 1700000000 + i * 2592000,
                               123456789 + i, {}, {}});
        }
        for (const Oscillator o : {Oscillator::Macd, Oscillator::Rsi}) {
            CandleChart* chart = m_host.candles(With(o));
            QVERIFY(chart->load(Reply(records), 6, 80));
            auto texts = [&](int index, const std::string& area) {
                std::vector<std::string> out;
                const auto rows = chart->control().withCanvas([&](ChartCanvas& c) { return legendRows(c, index); });
                for (const LegendRow& row : rows)
                    if (row.area->Name() == area)
                        for (const LegendItem& item : row.items)
                            out.push_back(item.text);
                return out;
            };
            const std::vector<double> lastFive{131072.16, 131072.17, 131072.18, 131072.19, 131072.20};
            QCOMPARE(texts(19, "N").front(), "MA5:" + AverageText(lastFive));
            QCOMPARE(texts(19, "P").front(), std::string("VOL:123456808"));
            if (o == Oscillator::Macd) {
                // Nothing has moved at the first candle: all three are zero, not missing.
                QCOMPARE(texts(0, "I"),
                         (std::vector<std::string>{"MACD(12,26,9)", "MACD:0.00", "DIF:0.00", "DEA:0.00"}));
                // A rise of a cent: DIF = 0.01 x (2/13 - 2/27) = 0.000798, shown, not "0.00".
                QCOMPARE(texts(1, "I")[2], std::string("DIF:0.000798"));
            } else {
                QCOMPARE(texts(0, "I"), (std::vector<std::string>{"RSI6:--", "RSI12:--", "RSI24:--"}));
                QCOMPARE(texts(1, "I"), (std::vector<std::string>{"RSI6:100.00", "RSI12:100.00", "RSI24:100.00"}));
            }
        }
    }

    void pollsRedrawOnlyWhatChangedAndDrawWhatAWholeLoadDraws()
    {
        std::vector<CandleRecord> records = *parseCandleReply(CandleReply(130, 4));
        const IndicatorChoice choice = With(Oscillator::Macd);
        CandleChart* polled = m_host.candles(choice);
        QVERIFY(polled->load(Reply(records), 8, 80));
        // A price well inside the window's range, so the scale stays and the redraw is partial.
        const float mid = (Area(*polled, "N").Scale().max + Area(*polled, "N").Scale().min) / 2;
        auto inside = [&](CandleRecord r) {
            r.open = mid;
            r.close = mid + 0.1f;
            r.high = mid + 0.2f;
            r.low = mid - 0.1f;
            return r;
        };
        struct Step
        {
            const char* what;
            std::function<void()> edit;
            int period;
            bool partial; // the candle area keeps pixels it had
        };
        const Step steps[] = {
            {"the newest candle moves", [&] { records.back() = inside(records.back()); }, 8, true},
            {"a candle is appended",
             [&] {
                 CandleRecord next = inside(records.back());
                 next.time += 86400;
                 records.push_back(next);
             },
             8, true},
            {"a candle in the window is rewritten", [&] { records[100] = inside(records[100]); }, 8, true},
            {"the history is cut short", [&] { records.resize(records.size() - 2); }, 8, false},
            {"the period changes", [] {}, 7, false},
        };
        for (const Step& step : steps) {
            step.edit();
            QVERIFY2(polled->load(Reply(records), step.period, 80), step.what);
            if (step.partial)
                QVERIFY2(Area(*polled, "N").lastScroll() != ScrollKind::None, step.what);
            CandleChart* whole = m_host.candles(choice);
            QVERIFY(whole->load(Reply(records), step.period, 80));
            QVERIFY2(polled->control().Snapshot() == whole->control().Snapshot(), step.what);
        }
        polled->control().withCanvas([](ChartCanvas& c) {
            const CSubAreaDisplayOne& bars = *c.findDisplay("N1");
            for (std::size_t i = 0; i < bars.elementCount(); ++i)
                QCOMPARE(static_cast<const CDataElementKBar*>(bars.Element(i))->periodCode, 7);
        });
    }

    void timeSharePollsDrawWhatAWholeLoadDraws()
    {
        std::vector<TimelineRecord> day = *parseTimelineReply(TimelineReply(240));
        std::vector<TimelineRecord> shown(day.begin(), day.begin() + 200);
        TimelineChart* polled = m_host.timeline();
        QVERIFY(polled->load(MinuteReply(shown)));
        bool partial = false;
        const std::function<void()> edits[] = {
            [&] { shown.push_back(day[shown.size()]); },
            [&] { shown.back().price = shown[shown.size() - 2].price; },
            [&] { shown.back().vol += 7; },
            [&] { shown[120].price = shown[119].price; },
            [&] { shown.push_back(day[shown.size()]); },
        };
        for (const auto& edit : edits) {
            edit();
            QVERIFY(polled->load(MinuteReply(shown)));
            polled->control().withCanvas([&](ChartCanvas& c) {
                partial = partial || c.findSubArea("O")->lastScroll() == ScrollKind::InPlace;
            });
            TimelineChart* whole = m_host.timeline();
            QVERIFY(whole->load(MinuteReply(shown)));
            QCOMPARE(polled->control().Snapshot(), whole->control().Snapshot());
        }
        QVERIFY(partial);
    }

private:
    ChartHost m_host;
};

QTEST_MAIN(IndicatorChartTest)
#include "IndicatorChartTest.moc"
