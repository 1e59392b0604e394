// The chart model: layout, name lookup, ranges, series operations and the drawn image.
#include <string>

#include <QColor>
#include <QImage>
#include <QtMath>

#include <gtest/gtest.h>

#include "QtEnvironment.h"
#include "chart/CDataElementKBar.h"
#include "chart/CDataElementPoint.h"
#include "chart/CSubArea.h"
#include "chart/ChartCanvas.h"
#include "chart/ChartColour.h"

using namespace chart;

namespace {

CDataElementPoint Point(float value, Colour colour = Rgb(240, 240, 240))
{
    CDataElementPoint p;
    p.value = value;
    p.colour = colour;
    return p;
}

CDataElementKBar Bar(float open, float close, float high, float low, float previousClose = 0)
{
    CDataElementKBar b;
    b.open = open;
    b.close = close;
    b.high = high;
    b.low = low;
    b.previousClose = previousClose;
    b.periodCode = 8;
    return b;
}

// A one-band canvas whose plot is 600 x 200 pixels at (60, 20).
struct OneBand
{
    explicit OneBand(const std::string& name, DisplayKind kind = DisplayKind::PixelLine)
        : canvas(QSize(715, 240))
    {
        canvas.AddSubArea(name, 0, 100, 60, 20, 20);
        canvas.AddDisplay(kind, 0, name + "1");
    }
    CSubArea& area() { return *canvas.findSubArea(canvas.Rows().front().subArea->Name()); }
    ChartCanvas canvas;
};

} // namespace

TEST(ChartLayout, RowsStackAndKeepTheirFirstSubArea)
{
    ChartCanvas c(QSize(1000, 700));
    c.AddSubArea("N", 0, 70, 0, 20, 20);
    c.AddSubArea("P", 1, 30, 0, 10, 25);
    c.AddSubArea("X", 0, 50, 5, 5, 5); // occupied row
    ASSERT_EQ(c.Rows().size(), 2u);
    const CSubArea& n = *c.findSubArea("N");
    const CSubArea& p = *c.findSubArea("P");
    EXPECT_EQ(c.findSubArea("X"), nullptr);
    EXPECT_EQ(n.Height(), 490);
    EXPECT_EQ(n.Scale().plotTop, 20);
    EXPECT_EQ(n.Scale().plotBottom, 470);
    EXPECT_EQ(n.Scale().plotRight, 1000 - 55);
    EXPECT_EQ(p.Top(), 490);
    EXPECT_EQ(p.Height(), 210);
    EXPECT_EQ(p.Scale().plotBottom, 490 + 210 - 25);
}

TEST(ChartLayout, DisplaysAreCappedAndNamesMatchExactly)
{
    ChartCanvas c(QSize(600, 300));
    c.AddSubArea("O", 0, 100, 60, 25, 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(c.AddDisplay(DisplayKind::PixelLine, 0, "O" + std::to_string(i)));
    EXPECT_FALSE(c.AddDisplay(DisplayKind::PixelLine, 0, "O10"));
    EXPECT_FALSE(c.AddDisplay(DisplayKind::PixelLine, 3, "Q1")); // no such row
    EXPECT_EQ(c.findSubArea("O")->displayCount(), 10);
    EXPECT_EQ(c.findDisplay("o1"), nullptr);
    c.AppendElement(Point(1), "nobody"); // dropped, nothing else changes
    c.ClearDisplay("nobody");
    c.SetTitle("nobody", "t");
    c.DrawRange("nobody", 0, 3);
    EXPECT_EQ(c.findDisplay("O1")->elementCount(), 0u);

    c.SetTitle("O", std::string(256, 'x'));
    EXPECT_EQ(c.findSubArea("O")->Title(), "");
    c.SetTitle("O", std::string(255, 'x'));
    EXPECT_EQ(c.findSubArea("O")->Title().size(), 255u);
    c.SetAxisLegend("O");
    EXPECT_EQ(c.findSubArea("O")->axisLegend(), "2010/01~2010/10 每刻度表示月份");
}

TEST(ChartSeries, AppendCopiesTheTemplateAndWidensLabels)
{
    OneBand b("M");
    CDataElementPoint tpl = Point(12);
    b.canvas.AppendElement(tpl, "M1");
    tpl.value = 12.5f;
    b.canvas.AppendElement(tpl, "M1");
    const CSubAreaDisplayOne& d = *b.canvas.findDisplay("M1");
    ASSERT_EQ(d.elementCount(), 2u);
    EXPECT_FLOAT_EQ(d.Element(0)->High(), 12);
    EXPECT_EQ(b.area().widestLabel(), 9);
    b.canvas.ClearDisplay("M1");
    EXPECT_EQ(d.elementCount(), 0u);
    EXPECT_EQ(b.area().widestLabel(), 9); // the label room is never narrowed
}

TEST(ChartSeries, ReplaceNewestKeepsThePreviousForErasing)
{
    OneBand b("O");
    for (float v : {10.0f, 11.0f, 12.0f})
        b.canvas.AppendElement(Point(v), "O1");
    b.canvas.DrawRange("O", 0, 2);
    CSubAreaDisplayOne& d = *b.canvas.findDisplay("O1");
    d.replaceNewest(std::make_unique<CDataElementPoint>(Point(13)));
    EXPECT_TRUE(b.area().Changed());
    ASSERT_NE(d.previousNewest(), nullptr);
    EXPECT_FLOAT_EQ(d.previousNewest()->High(), 12);
    EXPECT_FLOAT_EQ(d.Slots().back().element->High(), 13);
    EXPECT_EQ(d.savedLast().element, d.previousNewest());
    EXPECT_FLOAT_EQ(d.savedSecondToLast().element->High(), 11);
    b.canvas.DrawRange("O", 0, 2);
    EXPECT_FALSE(b.area().Changed());
}

TEST(ChartRange, PriceAreaIsSymmetricAboutTheFirstValue)
{
    OneBand b("O");
    for (float v : {100.0f, 103.0f, 99.0f})
        b.canvas.AppendElement(Point(v), "O1");
    CSubArea::Range r = b.area().ComputeRange(0, 2);
    EXPECT_TRUE(r.changed);
    EXPECT_FLOAT_EQ(r.max, 103);
    EXPECT_FLOAT_EQ(r.min, 97);

    OneBand flat("O");
    for (int i = 0; i < 3; ++i)
        flat.canvas.AppendElement(Point(50), "O1");
    r = flat.area().ComputeRange(0, 2);
    EXPECT_FLOAT_EQ(r.max, 50.5f);
    EXPECT_FLOAT_EQ(r.min, 49.5f);
}

TEST(ChartRange, VolumeAreaStartsAtZeroAndWindowBoundsTheRange)
{
    // The time-share's volumes too: a day without an idle minute once started its scale at
    // the smallest volume, and that minute's line had no length.
    for (const auto& [name, kind] : {std::pair("P", DisplayKind::Histogram), std::pair("M", DisplayKind::VLine)}) {
        OneBand b(name, kind);
        for (float v : {500.0f, 700.0f, 900.0f, 2000.0f})
            b.canvas.AppendElement(Point(v), std::string(name) + "1");
        const CSubArea::Range r = b.area().ComputeRange(1, 2);
        EXPECT_FLOAT_EQ(r.min, 0) << name;
        EXPECT_FLOAT_EQ(r.max, 900) << name; // 500 and 2000 lie outside the window
        b.canvas.DrawRange(name, 1, 2);
        EXPECT_FALSE(b.area().ComputeRange(1, 2).changed);
    }
}

TEST(ChartRange, AnElementOffScreenStretchesNoScale)
{
    // The oldest candle lies far from the rest and scrolled out of the window.
    OneBand b("N", DisplayKind::KBar);
    b.canvas.AppendElement(Bar(500, 510, 520, 480), "N1");
    for (int i = 1; i <= 6; ++i)
        b.canvas.AppendElement(Bar(10 + float(i % 3), 11, 12.5f, 9.5f), "N1");
    CSubArea::Range r = b.area().ComputeRange(2, 6);
    EXPECT_FLOAT_EQ(r.max, 12.5f);
    EXPECT_FLOAT_EQ(r.min, 9.5f);
    // A window reaching past the newest element takes what is there.
    r = b.area().ComputeRange(3, 10);
    EXPECT_FLOAT_EQ(r.max, 12.5f);
    EXPECT_FLOAT_EQ(r.min, 9.5f);
    r = b.area().ComputeRange(0, 6);
    EXPECT_FLOAT_EQ(r.max, 520);
    EXPECT_FLOAT_EQ(r.min, 9.5f);

    OneBand volumes("P", DisplayKind::Histogram);
    for (float v : {90000.0f, 300.0f, 800.0f, 450.0f})
        volumes.canvas.AppendElement(Point(v), "P1");
    r = volumes.area().ComputeRange(1, 3);
    EXPECT_FLOAT_EQ(r.max, 800);
    EXPECT_FLOAT_EQ(r.min, 0);
}

TEST(ChartDraw, ReversedWindowKeepsTheImage)
{
    OneBand b("O");
    b.canvas.AppendElement(Point(10), "O1");
    b.canvas.DrawRange("O", 0, 10);
    const QImage before = b.canvas.Image().copy();
    b.canvas.DrawRange("O", 5, 4);
    EXPECT_EQ(b.canvas.Image(), before);
    EXPECT_EQ(b.area().lastDrawn(), 10);
}

TEST(ChartDraw, SlotsUseOnlyTheWholePixelsOfThePlot)
{
    ChartCanvas c(QSize(715, 240)); // plot 60..660: 600 pixels
    c.AddSubArea("M", 0, 100, 60, 20, 20);
    c.AddDisplay(DisplayKind::VLine, 0, "M1");
    for (int i = 0; i < 361; ++i)
        c.AppendElement(Point(float(100 + i), kRiseColour), "M1");
    c.DrawRange("M", 0, 360);
    const QImage& img = c.Image();
    EXPECT_EQ(c.findSubArea("M")->Scale().slotWidth, 1);
    const QRect used(61, 21, 360, 198);
    const QRect unused(60 + 361, 21, 239 - 1, 198);
    EXPECT_GT(CountColour(img, used, toQColor(kRiseColour)), 1000);
    EXPECT_EQ(CountInk(img, unused), 0);
}

TEST(ChartDraw, EmptyDisplaysDrawAnEmptyFrame)
{
    OneBand b("N", DisplayKind::KBar);
    b.canvas.SetTitle("N", "Title");
    b.canvas.DrawRange("N", 0, 40);
    const QImage& img = b.canvas.Image();
    EXPECT_EQ(img.pixelColor(60, 101), QColor(50, 50, 50)); // frame
    EXPECT_EQ(img.pixelColor(300, 200), QColor(35, 35, 35)); // a grid line (row 220 - 20)
    EXPECT_EQ(CountInk(img, QRect(661, 0, 54, 240)), 0);    // no value labels
    EXPECT_GT(CountColour(img, QRect(0, 0, 200, 20), QColor(255, 230, 0)), 0); // title
}

TEST(ChartDraw, EqualValueLabelsAreDrawnOnce)
{
    // All volumes zero: every label reads "0"; only the bottom one is drawn.
    OneBand b("P", DisplayKind::Histogram);
    for (int i = 0; i < 5; ++i)
        b.canvas.AppendElement(Point(0, kVolumeUp), "P1");
    b.canvas.DrawRange("P", 0, 4);
    const QImage& img = b.canvas.Image();
    const QColor label(255, 230, 0);
    EXPECT_GT(CountColour(img, QRect(661, 200, 54, 40), label), 0);
    EXPECT_EQ(CountColour(img, QRect(661, 0, 54, 195), label), 0);
}

TEST(ChartDraw, PercentagesAreColouredAboveAndBelowTheMiddle)
{
    OneBand b("O");
    for (int i = 0; i < 5; ++i)
        b.canvas.AppendElement(Point(20), "O1");
    b.canvas.DrawRange("O", 0, 4);
    const QImage& img = b.canvas.Image();
    const CSubAreaScale& s = b.area().Scale();
    EXPECT_FLOAT_EQ(s.max, 20.2f);
    EXPECT_FLOAT_EQ(s.min, 19.8f);
    const QRect above(661, 0, 54, 110);
    const QRect below(661, 131, 54, 109);
    EXPECT_GT(CountColour(img, above, toQColor(kRiseColour)), 0);
    EXPECT_EQ(CountColour(img, above, toQColor(kFallColour)), 0);
    EXPECT_GT(CountColour(img, below, toQColor(kFallColour)), 0);
    EXPECT_EQ(CountColour(img, below, toQColor(kRiseColour)), 0);
    // Value labels of the price area sit in the box left of the plot.
    EXPECT_GT(CountColour(img, QRect(30, 0, 30, 240), QColor(255, 230, 0)), 0);
}

TEST(ChartDraw, FlatCandlesTakeTheirColourFromThePreviousClose)
{
    OneBand b("N", DisplayKind::KBar);
    b.canvas.AppendElement(Bar(10, 10, 11, 9, 0), "N1");    // first: previous close 0, rise
    b.canvas.AppendElement(Bar(10, 10, 11, 9, 10.5f), "N1"); // below the previous close: fall
    b.canvas.AppendElement(Bar(10, 10, 11, 9, 10), "N1");    // at it: rise
    b.canvas.AppendElement(Bar(9, 11, 12, 8), "N1");         // rising, hollow
    b.canvas.AppendElement(Bar(11, 9, 12, 8), "N1");         // falling, filled
    b.canvas.DrawRange("N", 0, 4);
    const QImage& img = b.canvas.Image();
    const int w = b.area().Scale().slotWidth; // 120
    auto slot = [&](int k) { return QRect(60 + k * w, 21, w, 198); };
    const QColor rise = toQColor(kCandleRise);
    const QColor fall = toQColor(kCandleFall);
    EXPECT_GT(CountColour(img, slot(0), rise), 0);
    EXPECT_EQ(CountColour(img, slot(0), fall), 0);
    EXPECT_GT(CountColour(img, slot(1), fall), 0);
    EXPECT_EQ(CountColour(img, slot(1), rise), 0);
    EXPECT_GT(CountColour(img, slot(2), rise), 0);
    // Rising: hollow body, black inside; falling: filled.
    const int mid = 60 + 3 * w + w / 2;
    const int yMid = b.area().Scale().ValueToY(10);
    EXPECT_EQ(img.pixelColor(mid + 10, yMid), QColor(Qt::black));
    EXPECT_EQ(img.pixelColor(mid + w + 10, yMid), fall);
}

TEST(ChartDraw, VolumeBarsFillOnlyFallingVolumes)
{
    OneBand b("P", DisplayKind::Histogram);
    b.canvas.AppendElement(Point(100, kVolumeUp), "P1");
    b.canvas.AppendElement(Point(100, kVolumeDown), "P1");
    b.canvas.DrawRange("P", 0, 1);
    const QImage& img = b.canvas.Image();
    EXPECT_EQ(img.pixelColor(60 + 150, 150), QColor(Qt::black));         // hollow red
    EXPECT_EQ(img.pixelColor(60 + 2, 150), toQColor(kVolumeUp));          // its left edge
    EXPECT_EQ(img.pixelColor(60 + 450, 150), toQColor(kVolumeDown));      // filled cyan
}

TEST(ChartDraw, ShortScrollGivesTheSamePixelsAsAFullRedraw)
{
    // Period 7 (120 minutes) labels the candles with their times under the plot: those
    // labels must move with their candles too. At any density: a whole ratio moves device
    // pixels, any other one redraws in full.
    for (const int period : {8, 7}) {
        auto fill = [period](ChartCanvas& c, int count) {
            c.AddSubArea("N", 0, 70, 0, 20, 20);
            c.AddSubArea("P", 1, 30, 0, 10, 25);
            c.AddDisplay(DisplayKind::KBar, 0, "N1");
            c.AddDisplay(DisplayKind::Histogram, 1, "P1");
            c.SetTitle("N", "Tolmere小酒窖");
            c.SetAxisLegend("N");
            for (int i = 0; i < count; ++i) {
                // Extremes in the middle so that both windows have the same range.
                const float base = i == 40 ? 30 : (i == 41 ? 5 : 10 + float(i % 7));
                CDataElementKBar bar = Bar(base, base + float(i % 3) - 1, base + 2, base - 2, base);
                bar.periodCode = period;
                bar.time = 1700000000 + i * 7200;
                c.AppendElement(bar, "N1");
                c.AppendElement(Point(float(i == 40 ? 9000 : 100 + i * 13), i % 2 ? kVolumeUp : kVolumeDown), "P1");
            }
        };
        for (const qreal ratio : {1.0, 2.0, 1.5}) {
            SCOPED_TRACE(testing::Message() << "period " << period << ", ratio " << ratio);
            const ScrollKind newer = ratio == 1.5 ? ScrollKind::None : ScrollKind::TowardsNewer;
            const ScrollKind older = ratio == 1.5 ? ScrollKind::None : ScrollKind::TowardsOlder;
            ChartCanvas scrolled(QSize(1000, 600), ratio);
            fill(scrolled, 82);
            scrolled.DrawRange("N", 0, 80);
            scrolled.DrawRange("P", 0, 80);
            scrolled.DrawRange("N", 3, 83);
            scrolled.DrawRange("P", 3, 83);
            EXPECT_EQ(scrolled.findSubArea("N")->lastScroll(), newer);
            EXPECT_EQ(scrolled.findSubArea("P")->lastScroll(), newer);

            ChartCanvas full(QSize(1000, 600), ratio);
            fill(full, 82);
            full.DrawRange("N", 3, 83);
            full.DrawRange("P", 3, 83);
            EXPECT_EQ(full.findSubArea("N")->lastScroll(), ScrollKind::None);
            EXPECT_EQ(scrolled.Image(), full.Image());
            EXPECT_EQ(scrolled.Image().size(), QSize(qCeil(1000 * ratio), qCeil(600 * ratio)));

            scrolled.DrawRange("N", 1, 81);
            scrolled.DrawRange("P", 1, 81);
            EXPECT_EQ(scrolled.findSubArea("N")->lastScroll(), older);
            full.DrawRange("N", 0, 0); // forces a full redraw at the next call
            full.DrawRange("P", 0, 0);
            full.DrawRange("N", 1, 81);
            full.DrawRange("P", 1, 81);
            EXPECT_EQ(scrolled.Image(), full.Image());
            if (period == 7 && ratio == 1.0) {
                EXPECT_GT(CountColour(full.Image(), QRect(0, 400, 1000, 20), QColor(240, 240, 240)), 0);
            }
        }
    }
}

TEST(ChartDraw, ScrollAfterReloadRedrawsTheNewestCandle)
{
    // The running period changes between two replies; the scroll must not keep its old body.
    auto load = [](ChartCanvas& c, float lastClose, int count) {
        c.ClearDisplay("N1");
        for (int i = 0; i < count; ++i) {
            const float close = i == count - 1 ? lastClose : (i == 10 ? 30.0f : (i == 11 ? 2.0f : 12.0f));
            c.AppendElement(Bar(12, close, std::max(12.0f, close), std::min(12.0f, close)), "N1");
        }
    };
    auto make = [](ChartCanvas& c) {
        c.AddSubArea("N", 0, 100, 0, 20, 20);
        c.AddDisplay(DisplayKind::KBar, 0, "N1");
    };
    ChartCanvas scrolled(QSize(800, 400));
    make(scrolled);
    load(scrolled, 14, 41);
    scrolled.DrawRange("N", 0, 40);
    // Element 40 changed from a close of 14 to 20 and 41 arrived.
    scrolled.ClearDisplay("N1");
    for (int i = 0; i < 42; ++i) {
        const float close = i == 40 ? 20.0f : (i == 41 ? 13.0f : (i == 10 ? 30.0f : (i == 11 ? 2.0f : 12.0f)));
        scrolled.AppendElement(Bar(12, close, std::max(12.0f, close), std::min(12.0f, close)), "N1");
    }
    scrolled.DrawRange("N", 1, 41);
    ASSERT_EQ(scrolled.findSubArea("N")->lastScroll(), ScrollKind::TowardsNewer);

    ChartCanvas full(QSize(800, 400));
    make(full);
    for (int i = 0; i < 42; ++i) {
        const float close = i == 40 ? 20.0f : (i == 41 ? 13.0f : (i == 10 ? 30.0f : (i == 11 ? 2.0f : 12.0f)));
        full.AppendElement(Bar(12, close, std::max(12.0f, close), std::min(12.0f, close)), "N1");
    }
    full.DrawRange("N", 1, 41);
    EXPECT_EQ(scrolled.Image(), full.Image());
}

TEST(ChartDraw, TimeLabelsOfTheVolumeAreaNeedTheLegend)
{
    OneBand b("M", DisplayKind::VLine);
    b.canvas.AppendElement(Point(5, kRiseColour), "M1");
    b.canvas.DrawRange("M", 0, 360);
    const QRect labels(0, 220, 715, 20);
    const QColor text(240, 240, 240);
    EXPECT_EQ(CountColour(b.canvas.Image(), labels, text), 0);
    b.canvas.SetAxisLegend("M");
    b.canvas.DrawRange("M", 5, 4); // reversed: nothing
    b.canvas.DrawRange("M", 0, 360);
    EXPECT_GT(CountColour(b.canvas.Image(), QRect(50, 222, 40, 18), text), 0);   // "09:30"
    EXPECT_GT(CountColour(b.canvas.Image(), QRect(640, 222, 40, 18), text), 0);  // "21:00"
}

TEST(ChartDraw, AClearedCanvasDrawsItsScaleAndTimeLabelsAgain)
{
    // A newly chosen item empties the chart; its first reply may have the range of the day
    // shown before, which must not leave the labels blank.
    OneBand b("M", DisplayKind::VLine);
    b.canvas.SetAxisLegend("M");
    auto load = [&b] {
        for (float v : {30.0f, 45.0f, 29.0f})
            b.canvas.AppendElement(Point(v, kRiseColour), "M1");
        b.canvas.DrawRange("M", 0, 360);
    };
    load();
    const QImage drawn = b.canvas.Image().copy();
    b.canvas.clearAll();
    load();
    EXPECT_EQ(b.canvas.Image(), drawn);
}
