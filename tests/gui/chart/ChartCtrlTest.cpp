// The chart control with its loaders: real widgets, real replies, grabbed pixels.
#include <atomic>
#include <string>
#include <thread>

#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include "ChartData.h"
#include "ChartHost.h"
#include "chart/CDataElementKBar.h"
#include "chart/CKBarCtrl.h"
#include "chart/CSubArea.h"
#include "chart/CSubAreaDisplayOne.h"
#include "chart/CandleChart.h"
#include "chart/ChartLegend.h"
#include "chart/ChartColour.h"
#include "chart/CDataElementPoint.h"
#include "chart/MarketCharts.h"
#include "chart/PeriodBar.h"
#include "chart/Show_Keyline_Msg__Dlg.h"
#include "chart/TimelineChart.h"
#include "chart/ChartReadout.h"
#include "chart/ChartText.h"
#include "session/Session.h"
#include "client/Transport.h"
#include "platform/core/CrossThread.h"
#include "support/LoopbackServer.h"
#include "support/Pixels.h"

using namespace chart;

namespace {

using testsupport::CountColour;

class PaintCounter final : public QObject
{
public:
    std::atomic<int> paints{0};
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Where the control paints its legend over the image.
std::vector<QRect> LegendBands(const CKBarCtrl& ctrl)
{
    std::vector<QRect> bands;
    for (const LegendRow& row : ctrl.legend())
        bands.push_back(legendBand(*row.area));
    return bands;
}

} // namespace

class ChartCtrlTest final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Session::current().resetForTest();
        QVERIFY(m_host.open());
    }
    void cleanup() { m_host.close(); }

    void createPlacesTheControlWithItsInfoBox()
    {
        CKBarCtrl* ctrl = new CKBarCtrl;
        QVERIFY(ctrl->Create(m_host.window(), QRect(29, 105, 1571, 666), CKBarCtrl::kCandleChartId));
        QCOMPARE(ctrl->objectName(), QStringLiteral("1000"));
        QCOMPARE(ctrl->geometry(), QRect(29, 105, 1571, 666));
        QVERIFY(ctrl->testAttribute(Qt::WA_OpaquePaintEvent));
        QCOMPARE(ctrl->Snapshot().size(), QSize(1571, 666));
        QCOMPARE(ctrl->Snapshot().pixelColor(10, 10), QColor(Qt::black));
        QVERIFY(ctrl->infoBox());
        QVERIFY(!ctrl->infoBox()->isVisible());
        QCOMPARE(ctrl->infoBox()->geometry(), QRect(70, 200, 100, 230));
        QCOMPARE(Show_Keyline_Msg__Dlg::Labels(1).size(), 11);
        QCOMPARE(Show_Keyline_Msg__Dlg::Labels(0).size(), 8);
        QCOMPARE(Show_Keyline_Msg__Dlg::Labels(1).at(5), QStringLiteral("收盘: --"));
        // Candle mode paints eleven rows, time-share mode eight, one every 20 pixels.
        Show_Keyline_Msg__Dlg* box = ctrl->infoBox();
        const QColor text(240, 240, 240);
        box->SetMode(1);
        QImage rows = box->grab().toImage();
        QVERIFY(CountColour(rows, QRect(0, 200, 100, 20), text) > 0);
        box->SetMode(0);
        rows = box->grab().toImage();
        QVERIFY(CountColour(rows, QRect(0, 140, 100, 20), text) > 0);
        QCOMPARE(CountColour(rows, QRect(0, 160, 100, 70), text), 0);
        QCOMPARE(rows.pixelColor(99, 229), QColor(32, 32, 32));
        box->show();
        QTest::mousePress(box, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(box, QPoint(30, 40));
        QTest::mouseRelease(box, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(box->pos(), QPoint(90, 230)); // dragged from anywhere in the box
        CKBarCtrl other;
        QVERIFY(!other.Create(m_host.window(), QRect(0, 0, 0, 10), CKBarCtrl::kTimelineChartId));
    }

    void fewCandlesFillTheWindowFromTheLeft()
    {
        CandleChart* view = m_host.candles();
        CKBarCtrl* ctrl = &view->control();
        QVERIFY(view->load(CandleReply(50), 8, 80));
        ctrl->withCanvas([](ChartCanvas& c) {
            const CSubArea& n = *c.findSubArea("N");
            QCOMPARE(n.firstDrawn(), 0);
            QCOMPARE(n.lastDrawn(), 80);
            QCOMPARE(n.Scale().slotCount, 81);
            QCOMPARE(int(n.Display(0).Slots().size()), 50);
            QCOMPARE(n.Title(), std::string("Tolmere小酒窖"));
            QCOMPARE(c.findSubArea("P")->Scale().min, 0.0);
            const auto* e1 = static_cast<const CDataElementKBar*>(n.Display(0).Element(1));
            const auto* e0 = static_cast<const CDataElementKBar*>(n.Display(0).Element(0));
            QCOMPARE(e0->previousClose, 0.0);
            QCOMPARE(e1->previousClose, e0->close);
            QCOMPARE(e1->periodCode, 8);
            QCOMPARE(e1->time, 1700000000 + 86400);
        });
        const QImage img = ctrl->Snapshot();
        const int w = (1571 - 55) / 81;
        const QRect emptySlots(50 * w + 1, 21, 1571 - 55 - 50 * w - 2, 400);
        QCOMPARE(CountColour(img, emptySlots, toQColor(kCandleRise)) + CountColour(img, emptySlots, toQColor(kCandleFall)), 0);
        QVERIFY(CountColour(img, QRect(0, 21, 50 * w, 400), toQColor(kCandleRise)) > 0);
        SaveIfAsked(img, "candles-50.png");
    }

    void manyCandlesShowTheNewestInTheSameSlots()
    {
        CandleChart* view = m_host.candles();
        CKBarCtrl* ctrl = &view->control();
        QVERIFY(view->load(CandleReply(500), 8, 80));
        ctrl->withCanvas([](ChartCanvas& c) {
            const CSubArea& n = *c.findSubArea("N");
            QCOMPARE(n.firstDrawn(), 420);
            QCOMPARE(n.lastDrawn(), 500);
            QCOMPARE(n.Scale().slotCount, 81);
            const CSubAreaDisplayOne& d = n.Display(0);
            QCOMPARE(int(d.Slots().size()), 80);
            QCOMPARE(d.Slots().front().element, d.Element(420));
            QCOMPARE(d.Slots().back().element, d.Element(499));
            QCOMPARE(int(c.findSubArea("P")->Display(0).Slots().size()), 80);
        });
        QCOMPARE(candleWindowFor(80, 80).first, 0);
        QCOMPARE(candleWindowFor(81, 80).first, 1);
        QCOMPARE(candleWindowFor(81, 80).last, 81);
        SaveIfAsked(ctrl->Snapshot(), "candles-500.png");
    }

    void scalesFollowOnlyTheCandlesOnScreen()
    {
        // The oldest candle traded far above the rest and has scrolled out of the window.
        std::string reply = "{\"success\":\"true\",\"infor\":[{\"startPrice\":500,\"endPrice\":505,"
                            "\"maxPrice\":520,\"minPrice\":490,\"time\":1700000000,\"vol\":900000}";
        for (int i = 1; i < 120; ++i)
            reply += ",{\"startPrice\":" + std::to_string(20 + i % 5) + ",\"endPrice\":" + std::to_string(21 + i % 4)
                     + ",\"maxPrice\":26,\"minPrice\":18,\"time\":" + std::to_string(1700000000 + i * 86400)
                     + ",\"vol\":" + std::to_string(1000 + i) + "}";
        reply += "]}";
        CandleChart* view = m_host.candles();
        CKBarCtrl* ctrl = &view->control();
        QVERIFY(view->load(reply, 8, 80));
        ctrl->withCanvas([](ChartCanvas& c) {
            const CSubArea& n = *c.findSubArea("N");
            QCOMPARE(n.firstDrawn(), 40);
            QCOMPARE(n.Scale().max, 26.0);
            QCOMPARE(n.Scale().min, 18.0);
            QCOMPARE(c.findSubArea("P")->Scale().max, 1119.0);
        });
        SaveIfAsked(ctrl->Snapshot(), "candles-far-first.png");
    }

    void badCandleRepliesLeaveTheChartUnchanged()
    {
        CandleChart* view = m_host.candles();
        CKBarCtrl* ctrl = &view->control();
        QVERIFY(view->load(CandleReply(30), 8, 80));
        const QImage before = ctrl->Snapshot();
        for (const char* bad : {"", "not json", "[1,2]", "{\"success\":\"false\",\"infor\":[{\"vol\":1}]}",
                                "{\"success\":\"true\",\"infor\":[]}", "{\"success\":\"true\",\"infor\":{}}",
                                "{\"success\":\"true\",\"infor\":[{\"startPrice\":", "{\"success\":\"yes\"}"})
            QVERIFY2(!view->load(bad, 8, 80), bad);
        QCOMPARE(ctrl->Snapshot(), before);
        // Members of the wrong type read as zero; the record still loads.
        QVERIFY(view->load("{\"success\":\"true\",\"infor\":[{\"startPrice\":\"x\",\"endPrice\":[1],"
                            "\"maxPrice\":{},\"minPrice\":null,\"time\":\"t\",\"vol\":\"many\"},"
                            "{\"startPrice\":5,\"endPrice\":6,\"maxPrice\":7,\"minPrice\":4,\"time\":4294967297,"
                            "\"vol\":3}]}",
                            8, 80));
        ctrl->withCanvas([](ChartCanvas& c) {
            const CSubAreaDisplayOne& d = *c.findDisplay("N1");
            QCOMPARE(int(d.elementCount()), 2);
            QCOMPARE(d.Element(0)->High(), 0.0);
            QCOMPARE(static_cast<const CDataElementKBar*>(d.Element(1))->time, 1); // low 32 bits
        });
    }

    void crossHairSnapsAndNeverRedrawsTheChart()
    {
        CandleChart* view = m_host.candles();
        CKBarCtrl* ctrl = &view->control();
        QVERIFY(view->load(CandleReply(50), 8, 80));
        const QImage chartBefore = ctrl->Snapshot();
        QTest::mouseMove(ctrl, QPoint(300, 200));
        ctrl->updateCrossHair();
        QCOMPARE(ctrl->crossHairPos(), QPoint()); // not armed before a click
        QTest::mouseClick(ctrl, Qt::LeftButton, {}, QPoint(300, 200));
        QCOMPARE(ctrl->infoBox()->Mode(), 1);
        QTest::mouseMove(ctrl, QPoint(1400, 301));
        const int w = (1571 - 55) / 81;
        QTRY_COMPARE(ctrl->crossHairPos(), QPoint(50 * w - w / 2, 300)); // the 60 ms timer picks it up
        QTest::mouseMove(ctrl, QPoint(3 * w + 1, 100));
        QTRY_COMPARE(ctrl->crossHairPos(), QPoint(3 * w + w / 2, 96));
        QCOMPARE(ctrl->Snapshot(), chartBefore);
        const QImage shown = ctrl->grab().toImage().convertToFormat(QImage::Format_RGB32);
        SaveIfAsked(shown, "candles-crosshair.png");
        QVERIFY(shown.pixelColor(3 * w + w / 2, 300) != chartBefore.pixelColor(3 * w + w / 2, 300) ||
                shown.pixelColor(700, 96) != chartBefore.pixelColor(700, 96));
        QCOMPARE(shown.pixelColor(5, 5), chartBefore.pixelColor(5, 5));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(ctrl, &leave);
        QCOMPARE(ctrl->crossHairPos(), QPoint());
        QVERIFY(!ctrl->crossHairArmed());
        QVERIFY(testsupport::SameOutside(ctrl->grab().toImage().convertToFormat(QImage::Format_RGB32), chartBefore,
                                         LegendBands(*ctrl)));
    }

    void keysMoveTheCrossHairZoomAndJump()
    {
        CandleChart* view = m_host.candles();
        CKBarCtrl* ctrl = &view->control();
        QVERIFY(view->load(CandleReply(500), 8, 80));
        ctrl->setFocus();
        QTest::keyClick(ctrl, Qt::Key_Left); // shows the cross-hair on the newest candle
        const int w = (1571 - 55) / 81;
        QCOMPARE(ctrl->crossHairPos().x(), 79 * w + w / 2);
        QVERIFY(ctrl->crossHairPos().y() > 0);
        QCOMPARE(ctrl->legend().front().items.front().text.rfind("MA", 0), 0u); // its readouts follow
        QTest::keyClick(ctrl, Qt::Key_Left);
        QCOMPARE(ctrl->crossHairPos().x(), 78 * w + w / 2);
        QCOMPARE(view->view().cursor, 498);
        SaveIfAsked(ctrl->grab().toImage(), "candles-keys.png");
        QTest::keyClick(ctrl, Qt::Key_Up); // fewer candles, the cursor's still in the window
        auto drawn = [ctrl] {
            return ctrl->withCanvas([](ChartCanvas& c) {
                const CSubArea& n = *c.findSubArea("N");
                return std::pair(n.firstDrawn(), n.lastDrawn());
            });
        };
        QCOMPARE(drawn(), std::pair(447, 500));
        QTest::keyClick(ctrl, Qt::Key_Home);
        QCOMPARE(drawn(), std::pair(0, 53));
        QCOMPARE(view->view().cursor, 0);
        QTest::keyClick(ctrl, Qt::Key_End);
        QCOMPARE(drawn(), std::pair(447, 500));
        QCOMPARE(view->view().cursor, 499);
        // A new candle: the window follows it, and so does the cross-hair's place.
        QVERIFY(view->load(CandleReply(501), 8, 80));
        QCOMPARE(drawn(), std::pair(448, 501));
        QVERIFY(!ctrl->handleKey(Qt::Key_F5)); // the market window's
        QTest::mouseMove(ctrl, QPoint(333, 222)); // the mouse takes it back
        QTRY_COMPARE(ctrl->keyCursor(), -1);
    }

    // A notch of the wheel zooms as Up and Down do; a touchpad's small steps add up to notches;
    // the time-share, which does not zoom, leaves the wheel to its window.
    void theWheelZoomsAsTheKeysDo()
    {
        CandleChart* byKeys = m_host.candles();
        CandleChart* byWheel = m_host.candles();
        QVERIFY(byKeys->load(CandleReply(500), 8, 80));
        QVERIFY(byWheel->load(CandleReply(500), 8, 80));
        auto turn = [](QWidget* w, int eighths) {
            QWheelEvent e(QPointF(300, 200), w->mapToGlobal(QPointF(300, 200)), {}, QPoint(0, eighths), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(w, &e);
            return e.isAccepted();
        };
        for (const Qt::Key key : {Qt::Key_Up, Qt::Key_Up, Qt::Key_Down}) {
            QVERIFY(byKeys->control().handleKey(key));
            if (key == Qt::Key_Up) {
                turn(&byWheel->control(), 60);
                QVERIFY(byWheel->view() != byKeys->view()); // half a notch: not yet
                turn(&byWheel->control(), 60);
            } else {
                turn(&byWheel->control(), -120);
            }
            QCOMPARE(byWheel->view(), byKeys->view());
        }
        QCOMPARE(byWheel->control().Snapshot(), byKeys->control().Snapshot());
        TimelineChart* timeline = m_host.timeline();
        QVERIFY(!turn(&timeline->control(), 120));
    }

    void timelineShowsTheFixedDay()
    {
        TimelineChart* view = m_host.timeline();
        CKBarCtrl* ctrl = &view->control();
        QVERIFY(view->load(TimelineReply(400)));
        ctrl->withCanvas([](ChartCanvas& c) {
            const CSubArea& o = *c.findSubArea("O");
            QCOMPARE(o.Title(), std::string("Tolmere小酒窖     分时 均价  成交量"));
            QCOMPARE(o.lastDrawn(), 360);
            QCOMPARE(int(c.findDisplay("O2")->Slots().size()), 361); // 400 records, 361 shown
            QCOMPARE(int(c.findDisplay("M1")->Slots().size()), 361);
            QCOMPARE(c.findSubArea("M")->axisLegend().empty(), false);
            const double ref = c.findDisplay("O1")->Element(0)->High();
            QVERIFY(qAbs((o.Scale().max + o.Scale().min) / 2 - ref) < 0.001f);
        });
        SaveIfAsked(ctrl->Snapshot(), "timeline-400.png");
    }

    void infoBoxReadsTheValuesUnderTheCrossHair()
    {
        CandleChart* view = m_host.candles();
        CKBarCtrl* ctrl = &view->control();
        const std::string reply = CandleReply(50);
        QVERIFY(view->load(reply, 8, 80));
        const std::vector<CandleRecord> records = *parseCandleReply(reply);
        Show_Keyline_Msg__Dlg* box = ctrl->infoBox();
        QTest::mouseClick(ctrl, Qt::LeftButton, {}, QPoint(300, 200));
        const int w = (1571 - 55) / 81;
        QTest::mouseMove(ctrl, QPoint(3 * w + 2, 150));
        QTRY_VERIFY(box->isVisible());
        QCOMPARE(box->readout(), candleReadout(records, 3, 8));
        // The keys take it along with the cross-hair.
        ctrl->setFocus();
        QTest::keyClick(ctrl, Qt::Key_Left);
        QTest::keyClick(ctrl, Qt::Key_Left);
        QTRY_COMPARE(box->readout(), candleReadout(records, 48, 8));
        QVERIFY(box->readout()[7].value != "--"); // 涨跌幅 of a candle with one before it
        SaveIfAsked(ctrl->grab().toImage(), "candles-infobox.png");
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(ctrl, &leave);
        QVERIFY(!box->isVisible());

        // The time-share: the minute under it, its changes from the previous close.
        Session::current().storeItems({{market::kFirstItem, "Tolmere小酒窖", 20.0f}}, 1);
        TimelineChart* day = m_host.timeline();
        CKBarCtrl* dayCtrl = &day->control();
        const std::string minutes = TimelineReply(120);
        QVERIFY(day->load(minutes));
        dayCtrl->setFocus();
        QTest::keyClick(dayCtrl, Qt::Key_Left);
        QTest::keyClick(dayCtrl, Qt::Key_Left);
        Show_Keyline_Msg__Dlg* dayBox = dayCtrl->infoBox();
        QTRY_VERIFY(dayBox->isVisible());
        QCOMPARE(dayBox->Mode(), 0);
        const std::vector<TimelineRecord> dayRecords = *parseTimelineReply(minutes);
        QCOMPARE(dayBox->readout()[1].value, std::string("11:28")); // the 119th minute
        QCOMPARE(dayBox->readout()[2].value, fixedText(dayRecords[118].price, 2));
        QCOMPARE(dayBox->readout()[3].value, fixedText(dayRecords[118].price - 20.0, 2));
        SaveIfAsked(dayCtrl->grab().toImage(), "timeline-infobox.png");

        // Centred on the previous close, the scale's middle line is that close.
        day->setCentredOnPreviousClose(true);
        dayCtrl->withCanvas([](ChartCanvas& c) {
            const CSubAreaScale& s = c.findSubArea("O")->Scale();
            QVERIFY(qAbs((s.max + s.min) / 2 - 20.0) < 1e-9);
        });
        day->setCentredOnPreviousClose(false);
        dayCtrl->withCanvas([&](ChartCanvas& c) {
            const CSubAreaScale& s = c.findSubArea("O")->Scale();
            QVERIFY(qAbs((s.max + s.min) / 2 - dayRecords[0].averagePrice) < 1e-9);
        });
    }

    void timelineVolumesAndFlatDay()
    {
        const std::vector<TimelineRecord> records{{10, 0, 0}, {10, 10, 5}, {10, 9, 0}, {10, 9.5f, 4}, {10, 9, 2}};
        const std::vector<Colour> c = volumeColours(records);
        QCOMPARE(c, (std::vector<Colour>{kRiseColour, kRiseColour, kRiseColour, kFallColour, kFallColour}));

        TimelineChart* view = m_host.timeline();
        CKBarCtrl* ctrl = &view->control();
        QVERIFY(view->load("{\"success\":\"true\",\"infor\":["
                                    "{\"averagePrice\":20,\"price\":20,\"vol\":0},"
                                    "{\"averagePrice\":20,\"price\":20,\"vol\":7},"
                                    "{\"averagePrice\":20,\"price\":20,\"vol\":0}]}"));
        const QImage img = ctrl->Snapshot();
        ctrl->withCanvas([&](ChartCanvas& canvas) {
            const CSubArea& o = *canvas.findSubArea("O");
            QCOMPARE(o.Scale().max, 20.2);
            QCOMPARE(o.Scale().min, 19.8);
            const CSubArea& m = *canvas.findSubArea("M");
            const auto& minutes = canvas.findDisplay("M1")->Slots();
            const int pb = m.Scale().plotBottom;
            // The traded minute draws a line; the idle minutes none.
            QCOMPARE(img.pixelColor(minutes[1].bodyLeft, pb - 2), toQColor(kRiseColour));
            QVERIFY(img.pixelColor(minutes[0].bodyLeft, pb - 2) != toQColor(kRiseColour));
            QVERIFY(img.pixelColor(minutes[2].bodyLeft, pb - 2) != toQColor(kRiseColour));
        });
        // "success" but no records: three empty displays and an empty framed chart.
        QVERIFY(view->load("{\"success\":\"true\",\"infor\":[]}"));
        ctrl->withCanvas([](ChartCanvas& canvas) { QCOMPARE(int(canvas.findDisplay("O2")->elementCount()), 0); });
        const QImage empty = ctrl->Snapshot();
        QCOMPARE(empty.pixelColor(60, 100), QColor(50, 50, 50));
        QVERIFY(!view->load("{\"success\":\"false\"}"));
        QCOMPARE(ctrl->Snapshot(), empty);
    }

    void periodBarSelectsOneCell()
    {
        PeriodBar::Flags flags = PeriodBar::flagsForPress(QPoint(28 + 60 * 6 + 3, 80));
        QCOMPARE(PeriodBar::PeriodCode(flags), 7);
        QCOMPARE(std::count(flags.begin(), flags.end(), 1), 1);
        flags = PeriodBar::flagsForPress(QPoint(27, 80));
        QCOMPARE(PeriodBar::PeriodCode(flags), 8);
        QCOMPARE(PeriodBar::Label(7), QStringLiteral("120分钟"));
        flags = PeriodBar::flagsForPress(QPoint(28 + 60 * 11 + 59, 104));
        QCOMPARE(PeriodBar::PeriodCode(flags), 12);
        const QImage bar = PeriodBar::Render(1920, flags, QFont());
        QCOMPARE(bar.size(), QSize(1920 - 348, 28));
        QCOMPARE(bar.pixelColor(60 * 11 + 1, 1), toQColor(kRiseColour));
        QCOMPARE(bar.pixelColor(1, 1), QColor(57, 57, 57));
        QCOMPARE(bar.pixelColor(800, 1), QColor(32, 32, 32));
    }

    void marketChartsShowOneChartAndSetUpOnce()
    {
        MarketCharts charts;
        QVERIFY(charts.Create(m_host.window(), QRect(29, 105, 1571, 666), 80));
        QVERIFY(!charts.Candles()->isVisible() && !charts.Timeline()->isVisible());
        QCOMPARE(charts.Timeline()->objectName(), QStringLiteral("1001"));
        PeriodBar::Flags flags{};
        QCOMPARE(charts.showCandles(flags), 8);
        QCOMPARE(flags[7], 1);
        QVERIFY(charts.Candles()->isVisible() && !charts.Timeline()->isVisible());
        charts.showTimeline(flags);
        QCOMPARE(std::count(flags.begin(), flags.end(), 1), 0);
        QVERIFY(!charts.Candles()->isVisible() && charts.Timeline()->isVisible());
        flags = PeriodBar::flagsForPress(QPoint(28 + 60 * 6 + 1, 90));
        QCOMPARE(charts.showCandles(flags), 7);
        QCOMPARE(charts.Visible(), MarketCharts::View::Candles);
        // Candles, volumes and the oscillator area under them, hidden until an oscillator is chosen.
        charts.Candles()->withCanvas([](ChartCanvas& c) { QCOMPARE(int(c.Rows().size()), 3); });
        charts.Candles()->withCanvas(
            [](ChartCanvas& c) { QCOMPARE(c.findSubArea("N")->displayCount(), 9); }); // not set up twice

        // Two-hour candles carry time labels every fourth candle; a flat candle's volume is red.
        std::string reply = CandleReply(12, 3, 1700000000, 7200);
        QVERIFY(charts.LoadCandles(reply, 7));
        const QImage img = charts.Candles()->Snapshot();
        SaveIfAsked(img, "candles-120min.png");
        charts.Candles()->withCanvas([&](ChartCanvas& c) {
            const CSubArea& n = *c.findSubArea("N");
            const int y = n.Top() + n.Height() - n.BottomMargin() + 2;
            const QColor text(240, 240, 240);
            const int w = n.Scale().slotWidth;
            QVERIFY(CountColour(img, QRect(0, y, w * 2, 14), text) > 0);     // candle 0
            QCOMPARE(CountColour(img, QRect(2 * w + 4, y, w * 2 - 8, 14), text), 0); // candles 2..3
            QVERIFY(CountColour(img, QRect(4 * w, y, w * 2, 14), text) > 0); // candle 4
        });
        QVERIFY(charts.LoadCandles("{\"success\":\"true\",\"infor\":[{\"startPrice\":5,\"endPrice\":5,"
                                   "\"maxPrice\":6,\"minPrice\":4,\"vol\":10},{\"startPrice\":5,\"endPrice\":4,"
                                   "\"maxPrice\":6,\"minPrice\":4,\"vol\":10}]}",
                                   8));
        charts.Candles()->withCanvas([](ChartCanvas& c) {
            const auto* flat = static_cast<const CDataElementPoint*>(c.findDisplay("P1")->Element(0));
            const auto* falling = static_cast<const CDataElementPoint*>(c.findDisplay("P1")->Element(1));
            QCOMPARE(flat->colour, kVolumeUp);
            QCOMPARE(falling->colour, kVolumeDown);
        });
    }

    void pollerThreadFeedsBothCharts()
    {
        testsupport::LoopbackServer server(testsupport::UniqueLoopbackAddress(6), 0,
                                           [](const testsupport::RecordedRequest& r) {
                                               testsupport::ScriptedReply reply;
                                               if (r.path.rfind("/api/histogram/9160001/", 0) == 0)
                                                   reply.body = CandleReply(240);
                                               else if (r.path.rfind("/api/timeline/9160001/", 0) == 0)
                                                   reply.body = TimelineReply(300);
                                               else
                                                   reply.status = 404;
                                               return reply;
                                           });
        CandleChart* candleView = m_host.candles();
        TimelineChart* timelineView = m_host.timeline();
        CKBarCtrl* candles = &candleView->control();
        CKBarCtrl* timeline = &timelineView->control();
        candles->hide();
        PaintCounter candlePaints;
        PaintCounter timelinePaints;
        candles->installEventFilter(&candlePaints);
        timeline->installEventFilter(&timelinePaints);
        std::atomic<bool> done{false};
        const std::string base = server.baseUrl();
        // Read on the poller's thread, shown on this one, as the market poller hands them over.
        std::thread poller([&] {
            std::string reply;
            client::HttpGetUrlNoLock(base + "/api/timeline/9160001/1700000000", reply);
            if (auto batch = TimelineReader()(reply))
                platform::postTo(timeline, [timelineView, b = *batch] { timelineView->apply(b); });
            reply.clear();
            client::HttpGetUrlNoLock(base + "/api/histogram/9160001/8", reply);
            if (auto batch = CandleReader()(reply, 8))
                platform::postTo(candles, [candleView, b = *batch] { candleView->apply(b, 120); });
            done = true;
        });
        QTRY_VERIFY_WITH_TIMEOUT(done.load(), 20000);
        poller.join();
        QTRY_VERIFY(timelinePaints.paints > 0);
        timeline->hide();
        candles->show();
        QTRY_VERIFY(candlePaints.paints > 0);
        QCOMPARE(server.requestCount(), size_t(2));
        candles->withCanvas([](ChartCanvas& c) {
            QCOMPARE(c.findSubArea("N")->firstDrawn(), 120);
            QCOMPARE(c.findSubArea("N")->lastDrawn(), 240);
        });
        QVERIFY(testsupport::SameOutside(candles->grab().toImage().convertToFormat(QImage::Format_RGB32),
                                         candles->Snapshot(), LegendBands(*candles)));
        SaveIfAsked(candles->Snapshot(), "candles-240.png");

        // Reads racing with paints: each batch is shown whole, in order, and the last one wins.
        done = false;
        int applied = 0;
        std::thread reloads([&] {
            CandleReader reader;
            for (int i = 0; i < 30; ++i)
                if (auto batch = reader(CandleReply(200 + i, unsigned(i)), 8))
                    platform::postTo(candles, [candleView, &applied, b = *batch] {
                        candleView->apply(b, 120);
                        ++applied;
                    });
            done = true;
        });
        while (!done) {
            candles->repaint();
            QCoreApplication::processEvents();
        }
        reloads.join();
        QTRY_COMPARE(applied, 30);
        candles->withCanvas([](ChartCanvas& c) {
            QCOMPARE(c.findSubArea("N")->firstDrawn(), 229 - 120);
            QCOMPARE(int(c.findDisplay("N1")->elementCount()), 229);
        });
        SaveIfAsked(timeline->Snapshot(), "timeline-300.png");
    }

private:
    ChartHost m_host;
};

QTEST_MAIN(ChartCtrlTest)
#include "ChartCtrlTest.moc"
