// The drawing tools on the candle chart, as a trader uses them: real clicks and keys on the
// market window's charts, the drawings file in a settings folder of the test's own.
#include <fstream>
#include <memory>
#include <vector>

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include "ChartData.h"
#include "ChartHost.h"
#include "chart/CKBarCtrl.h"
#include "chart/CSubArea.h"
#include "chart/ChartCanvas.h"
#include "chart/DrawingLayer.h"
#include "chart/DrawingToolbar.h"
#include "chart/Drawings.h"
#include "chart/MarketCharts.h"
#include "platform/Dialogs.h"
#include "session/Session.h"

using namespace chart;

namespace {

const std::string kDaily = CandleReply(120);
const std::string kWeekly = CandleReply(40, 3, 1690000000, 7 * 86400);

// The market window's charts in a window of their own, the candles shown.
struct Charts
{
    explicit Charts(const std::filesystem::path& dir)
    {
        window->resize(1700, 800);
        charts.Create(window.get(), ChartHost::kChartRect, 80, dir);
        PeriodBar::Flags flags{};
        charts.showCandles(flags);
        window->show();
    }
    bool load(const std::string& reply, int period) { return charts.LoadCandles(reply, period); }
    CKBarCtrl* ctrl() const { return charts.Candles(); }
    DrawingLayer* layer() const { return charts.drawings(); }
    QImage shown() const
    {
        layer()->selectAt(QPoint(5, 600)); // nothing there: no handles drawn
        return ctrl()->grab().toImage();
    }

    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    MarketCharts charts;
};

void Click(QWidget* w, QPoint at)
{
    QTest::mouseMove(w, at);
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
}

} // namespace

class DrawingChartTest final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Session::current().resetForTest();
        QVERIFY(m_dir.isValid());
        std::filesystem::remove(dir() / kDrawingsFile);
    }

    void everyToolDrawsAndTheDrawingsSurvivePeriodAndRestart()
    {
        std::vector<Drawing> drawn;
        QImage before;
        {
            Charts c(dir());
            QVERIFY(QTest::qWaitForWindowExposed(c.window.get()));
            QVERIFY(c.load(kDaily, 8));
            c.charts.drawingToolsAction()->trigger();
            QVERIFY(c.charts.drawingToolbar()->isVisible());
            c.layer()->setTextAsker([] { return std::optional(QStringLiteral("支撑")); });
            const std::vector<std::vector<QPoint>> clicks{
                {{200, 150}, {400, 250}},              {{300, 300}, {500, 260}},
                {{150, 380}, {350, 350}},              {{600, 200}},
                {{700, 150}, {900, 220}, {800, 120}}, {{950, 400}, {1100, 100}},
                {{1150, 150}, {1300, 300}},            {{1350, 100}}};
            for (int tool = 0; tool < DrawingToolbar::kToolCount; ++tool) {
                c.charts.drawingToolbar()->toolAction(tool)->trigger();
                for (std::size_t k = 0; k < clicks[std::size_t(tool)].size(); ++k) {
                    const QPoint at = clicks[std::size_t(tool)][k];
                    if (k > 0) {
                        // The rubber band follows the mouse before the click.
                        const QImage still = c.ctrl()->grab().toImage();
                        QTest::mouseMove(c.ctrl(), at);
                        QVERIFY(c.ctrl()->grab().toImage() != still);
                    }
                    Click(c.ctrl(), at);
                }
                QCOMPARE(int(c.layer()->drawings().size()), tool + 1);
                QVERIFY(!c.charts.drawingToolbar()->toolAction(tool)->isChecked()); // done, back to selecting
            }
            QCOMPARE(c.layer()->drawings().back().text, std::string("支撑"));
            drawn = c.layer()->drawings();
            c.charts.drawingToolsAction()->trigger(); // the toolbar away, as after a restart
            before = c.shown();
            SaveIfAsked(before, "drawings-all.png");
            QVERIFY(c.ctrl()->crossHairPos().isNull()); // the clicks drew, nothing else

            // The weekly chart keeps them on their dates, and the daily shows them as before.
            QVERIFY(c.load(kWeekly, 9));
            QCOMPARE(c.layer()->drawings(), drawn);
            QVERIFY(c.shown() != before); // the weekly candles show through under them
            SaveIfAsked(c.shown(), "drawings-weekly.png");
            QVERIFY(c.load(kDaily, 8));
            QCOMPARE(c.shown(), before);
        }
        // A restart with the same settings folder draws the same.
        Charts again(dir());
        QVERIFY(QTest::qWaitForWindowExposed(again.window.get()));
        QVERIFY(again.load(kDaily, 8));
        QCOMPARE(again.layer()->drawings(), drawn);
        QCOMPARE(again.shown(), before);
        // Another item has its own: none.
        QVERIFY(again.charts.LoadCandles(kDaily, 8, market::CurrentItem{9160002, 1}));
        QVERIFY(again.layer()->drawings().empty());
    }

    void selectDragDeleteAndUndo()
    {
        Charts c(dir());
        QVERIFY(QTest::qWaitForWindowExposed(c.window.get()));
        QVERIFY(c.load(kDaily, 8));
        c.charts.drawingToolsAction()->trigger();
        c.charts.drawingToolbar()->toolAction(0)->trigger();
        Click(c.ctrl(), {200, 150});
        Click(c.ctrl(), {400, 250});
        const Drawing placed = c.layer()->drawings().at(0);

        // Esc cancels a drawing in progress.
        c.ctrl()->setFocus();
        c.charts.drawingToolbar()->toolAction(1)->trigger();
        Click(c.ctrl(), {600, 300});
        QTest::keyClick(c.ctrl(), Qt::Key_Escape);
        QVERIFY(!c.layer()->tool());
        Click(c.ctrl(), {700, 300});
        QCOMPARE(int(c.layer()->drawings().size()), 1);

        // Dragged by its middle two candles on: both points move, on their candles.
        QTest::mousePress(c.ctrl(), Qt::LeftButton, {}, {300, 200});
        QCOMPARE(c.layer()->selected(), 0);
        QTest::mouseMove(c.ctrl(), {336, 200});
        QTest::mouseRelease(c.ctrl(), Qt::LeftButton, {}, {336, 200});
        const Drawing moved = c.layer()->drawings().at(0);
        QCOMPARE(moved.points[0].time, placed.points[0].time + 2 * 86400);
        QCOMPARE(moved.points[1].time, placed.points[1].time + 2 * 86400);
        QCOMPARE(moved.points[0].price, placed.points[0].price);
        // A handle moves its point alone.
        QTest::mousePress(c.ctrl(), Qt::LeftButton, {}, {436, 250});
        QTest::mouseMove(c.ctrl(), {436, 300});
        QTest::mouseRelease(c.ctrl(), Qt::LeftButton, {}, {436, 300});
        QCOMPARE(c.layer()->drawings().at(0).points[0], moved.points[0]);
        QVERIFY(c.layer()->drawings().at(0).points[1].price < moved.points[1].price);

        QTest::keyClick(c.ctrl(), Qt::Key_Delete);
        QVERIFY(c.layer()->drawings().empty());
        QCOMPARE(readDrawings(dir()).items.count(market::kFirstItem), 0u); // written at once
        // Ctrl+Z undoes the delete, the handle's move, then the drag.
        QTest::keyClick(c.ctrl(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(int(c.layer()->drawings().size()), 1);
        QTest::keyClick(c.ctrl(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(c.layer()->drawings().at(0), moved);
        QTest::keyClick(c.ctrl(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(c.layer()->drawings().at(0), placed);
        QCOMPARE(readDrawings(dir()).items.at(market::kFirstItem).at(0), placed);

        // The context menu: colour and style of the drawing under the mouse, delete all.
        QCOMPARE(c.layer()->selectAt({300, 200}), 0);
        c.layer()->recolourSelected(Rgb(0, 220, 255));
        c.layer()->restyleSelected(LineStyle::Dash);
        QCOMPARE(c.layer()->drawings().at(0).colour, Rgb(0, 220, 255));
        QCOMPARE(c.layer()->drawings().at(0).style, LineStyle::Dash);
        QVERIFY(c.charts.contextMenu()->findChild<QMenu*>(QStringLiteral("drawingMenu")));
        c.layer()->removeAll();
        QVERIFY(c.layer()->drawings().empty());
    }

    void withoutDrawingsTheChartIsAsBefore()
    {
        ChartHost host;
        QVERIFY(host.open());
        CandleChart* plain = host.candles();
        QVERIFY(plain->load(kDaily, 8, 80));
        const QImage expected = plain->control().grab().toImage();

        Charts c(dir());
        QVERIFY(QTest::qWaitForWindowExposed(c.window.get()));
        QVERIFY(c.load(kDaily, 8));
        QCOMPARE(c.ctrl()->grab().toImage(), expected);
        c.charts.drawingToolsAction()->trigger();
        c.charts.drawingToolbar()->toolAction(3)->trigger();
        Click(c.ctrl(), {600, 200});
        QVERIFY(c.ctrl()->grab().toImage() != expected);
        c.layer()->removeAll();
        c.charts.drawingToolsAction()->trigger(); // the toolbar hidden again
        QCOMPARE(c.ctrl()->grab().toImage(), expected);
        host.close();
    }

    // The drawings are painted into the chart's image: after a poll that adds a candle,
    // scrolls that move the image's pixels, a poll that redraws the newest candle in place
    // under a level, a ray and golden-section labels, and a period switch, the chart shows
    // what a fresh one shows: the drawings where their times and prices are, none left behind.
    void aMovingChartShowsTheDrawingsAsAFreshOne()
    {
        const std::string grown = CandleReply(121); // the same candles and one more
        // The newest candle closes at its opening instead: the window and its range stay.
        std::string polled = grown;
        const std::size_t open = polled.rfind("\"startPrice\":") + 13;
        const std::size_t close = polled.rfind("\"endPrice\":") + 11;
        polled.replace(close, polled.find(',', close) - close, polled.substr(open, polled.find(',', open) - open));
        QVERIFY(polled != grown);
        QImage moved;
        QImage weekly;
        {
            Charts c(dir());
            QVERIFY(QTest::qWaitForWindowExposed(c.window.get()));
            QVERIFY(c.load(kDaily, 8));
            c.charts.drawingToolsAction()->trigger();
            const std::vector<std::pair<int, std::vector<QPoint>>> drawn{
                {3, {{600, 200}}}, {5, {{1300, 400}, {1500, 100}}}, {0, {{200, 150}, {400, 250}}},
                {1, {{1200, 300}, {1400, 350}}}};
            for (const auto& [tool, points] : drawn) {
                c.charts.drawingToolbar()->toolAction(tool)->trigger();
                for (const QPoint at : points)
                    Click(c.ctrl(), at);
            }
            c.charts.drawingToolsAction()->trigger();
            QCOMPARE(c.layer()->selectAt({5, 600}), -1); // no handles
            const QImage drawnOver = c.ctrl()->Snapshot();
            QVERIFY(c.load(grown, 8));
            QVERIFY(c.ctrl()->Snapshot() != drawnOver);
            // The cross-hair to the window's left edge and beyond, one candle a scroll, and back.
            for (const Qt::Key key : {Qt::Key_Left, Qt::Key_Right})
                for (int i = 0; i < 100; ++i)
                    QTest::keyClick(c.ctrl(), key);
            QVERIFY(c.load(polled, 8));
            QCOMPARE(c.ctrl()->withCanvas([](ChartCanvas& k) { return k.findSubArea("N")->lastScroll(); }),
                     ScrollKind::InPlace);
            moved = c.ctrl()->Snapshot();
            QVERIFY(c.load(kWeekly, 9));
            weekly = c.ctrl()->Snapshot();
        }
        Charts fresh(dir());
        QVERIFY(QTest::qWaitForWindowExposed(fresh.window.get()));
        QVERIFY(fresh.load(polled, 8));
        QCOMPARE(int(fresh.layer()->drawings().size()), 4);
        QCOMPARE(fresh.ctrl()->Snapshot(), moved);
        QVERIFY(fresh.load(kWeekly, 9));
        QCOMPARE(fresh.ctrl()->Snapshot(), weekly);
    }

    void aBrokenFileIsNamedAndLeftAlone()
    {
        {
            std::ofstream(dir() / kDrawingsFile) << "{\"items\":{\"9160001\":[{\"shape\":\"circle\"}]}}";
        }
        platform::MessageBoxRecorder messages;
        Charts c(dir());
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY(messages.texts().front().contains(QString::fromStdString((dir() / kDrawingsFile).string())));
        QVERIFY(c.load(kDaily, 8));
        QVERIFY(c.layer()->drawings().empty());
        std::ifstream in(dir() / kDrawingsFile);
        const std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        QCOMPARE(kept, std::string("{\"items\":{\"9160001\":[{\"shape\":\"circle\"}]}}"));
    }

private:
    std::filesystem::path dir() const { return m_dir.path().toStdString(); }
    QTemporaryDir m_dir;
};

QTEST_MAIN(DrawingChartTest)
#include "DrawingChartTest.moc"
