// At a device pixel ratio of 2 the charts, the quote panel and the tick list draw their
// images at device pixels: hairlines one device pixel wide, edges on device pixels, and the
// window shows the image one to one instead of a doubled copy.
#include <deque>
#include <set>
#include <string>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include "ChartData.h"
#include "chart/CDataElementKBar.h"
#include "chart/CDataElementPoint.h"
#include "chart/CKBarCtrl.h"
#include "chart/CSubArea.h"
#include "chart/CSubAreaDisplayOne.h"
#include "chart/CandleChart.h"
#include "chart/ChartLegend.h"
#include "chart/ChartColour.h"
#include "chart/PeriodBar.h"
#include "chart/TimelineChart.h"
#include "client/CodePage.h"
#include "market/Min_Price_List_Dlg.h"
#include "market/Right_Msg_Dlg.h"
#include "platform/Bitmaps.h"
#include "support/Pixels.h"

using namespace chart;

namespace {

constexpr int kRatio = 2;
const QRect kChartRect(29, 105, 1571, 666);
const QColor kGrid(35, 35, 35);

QImage rgb(const QImage& image) { return image.convertToFormat(QImage::Format_RGB32); }

// What the window puts on the screen, in device pixels.
QImage onScreen(QWidget* w) { return rgb(w->grab().toImage()); }

} // namespace

class HiDpiTest final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QCOMPARE(qApp->devicePixelRatio(), qreal(kRatio));
        m_window = std::make_unique<QWidget>();
        m_window->resize(1700, 800);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup() { m_window.reset(); }

    void candleGridLinesAreOneDevicePixelAndCandleEdgesCrisp()
    {
        auto* ctrl = new CKBarCtrl;
        QVERIFY(ctrl->Create(m_window.get(), kChartRect, CKBarCtrl::kCandleChartId));
        CandleChart candles(*ctrl);
        candles.setUp();
        QVERIFY(candles.load(CandleReply(50), 8, 80));
        const QImage img = ctrl->Snapshot();
        // The layout stays in logical pixels; the image has twice as many in each direction.
        QCOMPARE(img.size(), kChartRect.size() * kRatio);
        QCOMPARE(img.devicePixelRatio(), qreal(kRatio));

        CSubAreaScale scale;
        std::deque<DisplaySlot> placed;
        ctrl->withCanvas([&](ChartCanvas& c) {
            QCOMPARE(c.Size(), kChartRect.size());
            scale = c.findSubArea("N")->Scale();
            placed = c.findSubArea("N")->Display(0).Slots();
        });
        // A grid line across the empty slots right of the 50 candles: one device row of the
        // grid colour between black rows.
        const int x = (scale.plotLeft + 60 * scale.slotWidth) * kRatio;
        for (int i = 1; i <= 9; ++i) {
            const int y = (scale.plotBottom - i * scale.pixelStep) * kRatio;
            QCOMPARE(img.pixelColor(x, y), kGrid);
            QCOMPARE(img.pixelColor(x, y - 1), QColor(Qt::black));
            QCOMPARE(img.pixelColor(x, y + 1), QColor(Qt::black));
        }

        // A falling candle: its filled body starts exactly on the device column of its left
        // edge, and nothing in the plot is a blend of two colours.
        const DisplaySlot* fall = nullptr;
        for (const DisplaySlot& s : placed) {
            const auto* bar = static_cast<const CDataElementKBar*>(s.element);
            if (bar && bar->close < bar->open && bar->open - bar->close > (scale.max - scale.min) / 20) {
                fall = &s;
                break;
            }
        }
        QVERIFY(fall);
        const auto* bar = static_cast<const CDataElementKBar*>(fall->element);
        const int yMid = (scale.ValueToY(bar->open) + scale.ValueToY(bar->close)) / 2 * kRatio;
        QCOMPARE(img.pixelColor(fall->bodyLeft * kRatio, yMid), toQColor(kCandleFall));
        QCOMPARE(img.pixelColor(fall->bodyRight * kRatio - 1, yMid), toQColor(kCandleFall));
        QVERIFY(img.pixelColor(fall->bodyLeft * kRatio - 1, yMid) != toQColor(kCandleFall));
        QVERIFY(img.pixelColor(fall->bodyRight * kRatio, yMid) != toQColor(kCandleFall));

        std::set<QRgb> colours;
        const QRect plot(QPoint(scale.plotLeft * kRatio, scale.plotTop * kRatio),
                         QPoint(scale.plotRight * kRatio - 1, scale.plotBottom * kRatio - 1));
        for (int y = plot.top(); y <= plot.bottom(); ++y)
            for (int x2 = plot.left(); x2 <= plot.right(); ++x2)
                colours.insert(img.pixel(x2, y) | 0xff000000u);
        // The moving averages over the candles are hairlines of their own colours.
        std::set<QRgb> crisp{QColor(Qt::black).rgb(), kGrid.rgb(), QColor(50, 50, 50).rgb(),
                             toQColor(kCandleRise).rgb(), toQColor(kCandleFall).rgb()};
        for (const Colour c : kAverageColours)
            crisp.insert(toQColor(c).rgb());
        for (QRgb c : colours)
            QVERIFY2(crisp.count(c), qPrintable(QColor(c).name()));

        // The window copies the image one to one: no doubled, blurred copy of a small one. Only
        // the legend is painted over the copy.
        std::vector<QRect> legend;
        for (const LegendRow& row : ctrl->legend())
            legend.push_back(legendBand(*row.area));
        QVERIFY(!legend.empty());
        QVERIFY(testsupport::SameOutside(onScreen(ctrl), rgb(img), legend));
    }

    void timeShareLineIsOneDevicePixelThick()
    {
        auto* ctrl = new CKBarCtrl;
        QVERIFY(ctrl->Create(m_window.get(), kChartRect, CKBarCtrl::kTimelineChartId));
        TimelineChart timeline(*ctrl);
        timeline.setUp();
        QVERIFY(timeline.load(TimelineReply(200)));
        const QImage img = ctrl->Snapshot();
        QCOMPARE(img.size(), kChartRect.size() * kRatio);
        CSubAreaScale scale;
        QColor line;
        ctrl->withCanvas([&](ChartCanvas& c) {
            scale = c.findSubArea("O")->Scale();
            const CSubAreaDisplayOne& d = c.findSubArea("O")->Display(0);
            line = toQColor(static_cast<const CDataElementPoint*>(d.Element(0))->colour);
        });
        // Down any device column of the plot the line's colour runs in short runs; a line drawn
        // two device pixels thick would leave runs of two at every flat stretch.
        int single = 0;
        int doubled = 0;
        for (int x = (scale.plotLeft + 1) * kRatio; x < (scale.plotLeft + 150) * kRatio; ++x) {
            for (int y = scale.plotTop * kRatio + 1; y < scale.plotBottom * kRatio - 2; ++y) {
                if (img.pixelColor(x, y) != line)
                    continue;
                const bool above = img.pixelColor(x, y - 1) == line;
                const bool below = img.pixelColor(x, y + 1) == line;
                if (!above && !below)
                    ++single;
                if (!above && below && img.pixelColor(x, y + 2) != line)
                    ++doubled;
            }
        }
        QVERIFY2(single > 100, qPrintable(QString::number(single)));
        QVERIFY2(doubled < single / 4, qPrintable(QStringLiteral("%1 %2").arg(doubled).arg(single)));
        QCOMPARE(onScreen(ctrl), rgb(img));
    }

    void quotePanelAndTickListDrawAtDevicePixels()
    {
        auto* panel = new Right_Msg_Dlg(m_window.get(), 1920, 1040);
        panel->show();
        panel->LoadRealtime(client::utf8ToWire(
            R"({"success":"true","infor":[{"stockName":"Tolmere小酒窖","sellPrice1":36.43,"buyPrice1":36.22,)"
            R"("sellVol1":360,"buyVol1":370,"latest":36.22,"opening":36.50,"max":36.55,"min":36.22}]})"));
        const QImage quote = panel->snapshot();
        QCOMPARE(quote.size(), panel->size() * kRatio);
        QCOMPARE(quote.devicePixelRatio(), qreal(kRatio));
        // Text drawn at device pixels has stems one device pixel wide somewhere; a doubled
        // image has every ink run an even length.
        bool oddRun = false;
        for (int y = 0; y < 28 * kRatio && !oddRun; ++y) {
            int run = 0;
            for (int x = 0; x < quote.width(); ++x) {
                const bool ink = quote.pixelColor(x, y) != QColor(37, 37, 37);
                if (ink) {
                    ++run;
                } else {
                    oddRun = oddRun || run % 2 == 1;
                    run = 0;
                }
            }
        }
        QVERIFY(oddRun);
        QTRY_COMPARE(onScreen(panel), rgb(panel->snapshot()));

        Min_Price_List_Dlg ticks(m_window.get());
        ticks.setGeometry(0, 0, 400, Min_Price_List_Dlg::kChartHeight);
        ticks.drawMode(Min_Price_List_Dlg::Mode::Ticks, R"({"success":"true","infor":[{"price":120.5,"vol":3,"time":1700000000}]})");
        QCOMPARE(ticks.canvas().size(), QSize(400, Min_Price_List_Dlg::kChartHeight) * kRatio);
        QCOMPARE(ticks.canvas().devicePixelRatio(), qreal(kRatio));

        const QImage bar = PeriodBar::Render(1920, PeriodBar::Flags{}, QFont(), kRatio);
        QCOMPARE(bar.size(), QSize(1920 - 348, PeriodBar::kCellHeight) * kRatio);
        QCOMPARE(bar.deviceIndependentSize(), QSizeF(1920 - 348, PeriodBar::kCellHeight));
    }

    void bitmapsKeepTheirLogicalSizeAtTwiceThePixels()
    {
        using namespace platform::bmp;
        for (const int id : {LoginBackground, LoginButton, CloseButton, TitleBar, ToolButtonHover}) {
            const QImage image = platform::bitmap(id);
            QCOMPARE(image.devicePixelRatio(), qreal(kRatio));
            QCOMPARE(image.size(), image.deviceIndependentSize().toSize() * kRatio);
        }
        QCOMPARE(platform::bitmap(LoginBackground).deviceIndependentSize(), QSizeF(540, 315));
        QCOMPARE(platform::bitmap(CloseButton).deviceIndependentSize(), QSizeF(34, 28));
    }

private:
    std::unique_ptr<QWidget> m_window;
};

int main(int argc, char** argv)
{
    // Set before the application reads it: a screen of density 2, as with QT_SCALE_FACTOR=2
    // on a 3840 × 2160 display.
    qputenv("QT_SCALE_FACTOR", QByteArray::number(kRatio));
    QApplication app(argc, argv);
    HiDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "HiDpiTest.moc"
