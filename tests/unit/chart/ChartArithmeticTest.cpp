// Scale, labels, scroll decisions and cross-hair snapping: the chart arithmetic without drawing.
#include <clocale>
#include <string>

#include <gtest/gtest.h>

#include "chart/CDataElementKBar.h"
#include "chart/CDataElementPoint.h"
#include "chart/CSubAreaScale.h"
#include "chart/ChartMath.h"
#include "chart/ChartReplies.h"
#include "chart/ChartText.h"
#include "chart/KLineKeys.h"

using namespace chart;

namespace {

CSubAreaScale Scale(float max, float min)
{
    CSubAreaScale s;
    s.plotLeft = 0;
    s.plotRight = 600;
    s.plotTop = 20;
    s.plotBottom = 220;
    s.max = max;
    s.min = min;
    s.rescale(361);
    return s;
}

} // namespace

TEST(ChartScale, SlotWidthIsAnIntegerDivision)
{
    const CSubAreaScale s = Scale(10, 0);
    EXPECT_EQ(s.slotWidth, 1); // 361 slots use 361 of 600 pixels
    EXPECT_EQ(s.slotCount, 361);
    EXPECT_EQ(s.pixelStep, 20);
    EXPECT_FLOAT_EQ(s.valueStep, 1.0f);
}

TEST(ChartScale, ValueToYMapsLinearlyAndTruncates)
{
    const CSubAreaScale s = Scale(10, 0);
    EXPECT_EQ(s.ValueToY(10), 20);
    EXPECT_EQ(s.ValueToY(0), 220);
    EXPECT_EQ(s.ValueToY(5), 120);
    EXPECT_EQ(s.ValueToY(9.99f), 20); // 20.2 truncated
    EXPECT_EQ(s.ValueToY(0.000009f), 220);
    EXPECT_EQ(s.ValueToY(-0.000009f), 220);
}

TEST(ChartScale, DegenerateRangesStayOnThePlot)
{
    // A maximum near zero puts every value at the bottom.
    EXPECT_EQ(Scale(0.000001f, -5).ValueToY(-5), 220);
    EXPECT_EQ(Scale(0, 0).ValueToY(3), 220);
    // A flat range away from zero has no scale: the middle row, not a division by zero.
    EXPECT_EQ(Scale(12, 12).ValueToY(12), 120);
    // A value far outside the range must not overflow the conversion.
    const int far = Scale(10, 9.999f).ValueToY(-3.0e38f);
    EXPECT_GT(far, 220);
}

TEST(ChartText, ValueLabels)
{
    EXPECT_EQ(valueLabel(12.0, false), "12");
    EXPECT_EQ(valueLabel(12.5, false), "12.50");
    EXPECT_EQ(valueLabel(12.5, true), "13"); // rounded, not cut
    EXPECT_EQ(valueLabel(-0.25, false), "-0.25");
    EXPECT_EQ(valueLabel(3.0e30, true), "9000000000000000000"); // clamped, never undefined
}

TEST(ChartText, NumbersRoundHalfAwayFromZeroAndNeverShowMinusZero)
{
    struct Case { double v; std::string price; std::string oscillator; };
    const Case cases[] = {
        {42.75, "42.75", "42.75"},
        {42.5 + 0.025 * 10, "42.75", "42.75"}, // an axis label worked out from its scale
        {42.745, "42.75", "42.75"},            // 42.74499999... in binary
        {1.005, "1.01", "1.01"},
        {-2.675, "-2.68", "-2.68"},
        {131072.01, "131072.01", "131072.01"},
        {45.454545, "45.45", "45.45"},
        {0.5, "0.50", "0.500"},
        {0.0042, "0.00", "0.00420"},
        {-0.0042, "0.00", "-0.00420"},
        {-0.000123456, "0.00", "-0.000123"},
        {0.099999, "0.10", "0.1000"},
        {-1e-15, "0.00", "0.00"}, // what is left of a flat history's MACD
        {0, "0.00", "0.00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fixedText(c.v, 2), c.price) << c.v;
        EXPECT_EQ(oscillatorText(c.v), c.oscillator) << c.v;
    }
}

TEST(ChartText, NumbersIgnoreTheProcessLocale)
{
    // Qt sets LC_NUMERIC from the desktop; a decimal comma must not reach a label.
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    bool comma = false;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"})
        if (std::setlocale(LC_NUMERIC, name) && std::localeconv()->decimal_point[0] == ',') {
            comma = true;
            break;
        }
    if (!comma) {
        std::setlocale(LC_NUMERIC, before.c_str());
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
    const std::string label = valueLabel(12.5, false);
    const std::string width = std::to_string(valueTextWidth(12.5));
    const std::string percent = percentLabel(0.2, 10, 101, 99);
    const std::string oscillator = oscillatorText(0.0042);
    const auto candles = parseCandleReply(R"({"success":"true","infor":[{"endPrice":"12.50"}]})");
    std::setlocale(LC_NUMERIC, before.c_str());
    EXPECT_EQ(label, "12.50");
    EXPECT_EQ(width, "9");
    EXPECT_EQ(percent, "1.00%");
    EXPECT_EQ(oscillator, "0.00420");
    ASSERT_TRUE(candles);
    EXPECT_EQ(candles->front().close, 12.5);
}

TEST(ChartText, LabelWidthCountsTheWidestValue)
{
    CDataElementKBar bar;
    bar.open = 12;
    bar.close = 1234;
    bar.high = 12.5; // "12.500000"
    bar.low = 3;
    EXPECT_EQ(bar.labelWidth(), 9);
    CDataElementPoint point;
    point.value = 100000;
    EXPECT_EQ(point.labelWidth(), 6);
}

TEST(ChartText, PercentLabelsAreUnsignedDistancesFromTheMiddle)
{
    // Range 99..101 around 100: every division is 0.2, i.e. 0.2 %.
    const double step = (101.0 - 99.0) / 10;
    EXPECT_EQ(percentLabel(step, 5, 101, 99), "0.00%");
    EXPECT_EQ(percentLabel(step, 10, 101, 99), "1.00%");
    EXPECT_EQ(percentLabel(step, 0, 101, 99), "1.00%");
    EXPECT_EQ(percentLabel(step, 7, 101, 99), percentLabel(step, 3, 101, 99));
    EXPECT_EQ(percentLabel(0.000001, 9, 1, 1), "0%");
    EXPECT_EQ(percentLabel(0.2, 9, 1, -1), "0%"); // a zero middle would print "inf%"
}

TEST(ChartElements, CandleRangeCoversInconsistentFields)
{
    CDataElementKBar bar;
    bar.open = 10;
    bar.close = 12;
    bar.high = 11; // below the close: the reply is inconsistent
    bar.low = 9;
    EXPECT_FLOAT_EQ(bar.High(), 12);
    EXPECT_FLOAT_EQ(bar.Low(), 9);
    EXPECT_EQ(char(bar.Type()), 'K');
    CDataElementPoint point;
    EXPECT_EQ(char(point.Type()), 'P');
}

TEST(ChartScroll, ShortScrollNeedsSameSlotsAndLessThanHalfAWindow)
{
    // 81 slots: 0..80.
    EXPECT_EQ(decideScroll(0, 80, 1, 81, 81), ScrollKind::TowardsNewer);
    EXPECT_EQ(decideScroll(0, 80, 39, 119, 81), ScrollKind::TowardsNewer);
    EXPECT_EQ(decideScroll(0, 80, 40, 120, 81), ScrollKind::None); // half a window
    EXPECT_EQ(decideScroll(10, 90, 9, 89, 81), ScrollKind::TowardsOlder);
    EXPECT_EQ(decideScroll(50, 130, 10, 90, 81), ScrollKind::None);
    EXPECT_EQ(decideScroll(0, 80, 0, 80, 81), ScrollKind::None);   // same window
    EXPECT_EQ(decideScroll(0, 80, 1, 80, 81), ScrollKind::None);   // other slot count
    EXPECT_EQ(decideScroll(0, 0, 0, 80, 0), ScrollKind::None);     // first draw
}

TEST(ChartCrossHair, SnapsToSlotCentresAndRowsOfSix)
{
    CrossHairGeometry g;
    g.clientRight = 800;
    g.clientBottom = 600;
    g.areaLeft = 0;
    g.leftMargin = 60;
    g.slotWidth = 10;
    g.slotCount = 50; // slots end at 560
    EXPECT_EQ(snapCrossHair({123, 100}, g), QPoint(125, 96));
    EXPECT_EQ(snapCrossHair({129, 101}, g), QPoint(125, 96));
    EXPECT_EQ(snapCrossHair({700, 300}, g), QPoint(555, 300)); // held at end - w / 2
    EXPECT_EQ(snapCrossHair({560, 300}, g), QPoint(555, 300));
    EXPECT_EQ(snapCrossHair({20, 47}, g), QPoint(60, 42)); // left of the plot: at the margin
    EXPECT_FALSE(snapCrossHair({100, 22}, g));
    EXPECT_FALSE(snapCrossHair({100, 576}, g));
    EXPECT_FALSE(snapCrossHair({9, 100}, g));
    EXPECT_FALSE(snapCrossHair({791, 100}, g));
    g.slotWidth = 0;
    EXPECT_FALSE(snapCrossHair({123, 100}, g));
}

TEST(ChartCrossHair, VisibleBarCount)
{
    EXPECT_EQ(visibleBarCountFor(1920), 120);
    EXPECT_EQ(visibleBarCountFor(1366), 80);
    EXPECT_EQ(visibleBarCountFor(599), 0);
}

TEST(KLineKeys, PureSteps)
{
    // Zoom: a third fewer in, half as many more out, never past the bounds nor stuck at one.
    struct Zoom { int span; bool in; int expected; };
    for (const Zoom& z : {Zoom{120, true, 80}, Zoom{120, false, 180}, Zoom{12, true, 10}, Zoom{10, true, 10},
                          Zoom{200, false, 240}, Zoom{240, false, 240}, Zoom{11, false, 16}})
        EXPECT_EQ(zoomedSpan(z.span, z.in, 10, 240), z.expected) << z.span << (z.in ? " in" : " out");
    EXPECT_EQ(nextCandleIndex(0, -1, 50), 0);
    EXPECT_EQ(nextCandleIndex(49, 1, 50), 49);
    EXPECT_EQ(nextCandleIndex(3, 1, 0), -1);
    // The window moves just enough to show the cursor, and never past the newest candles.
    EXPECT_EQ(firstForCursor(100, 40, 99, 500), 99);
    EXPECT_EQ(firstForCursor(100, 40, 140, 500), 101);
    EXPECT_EQ(firstForCursor(100, 40, 120, 500), 100);
    EXPECT_EQ(firstForCursor(480, 40, -1, 500), 460);
    EXPECT_EQ(firstForCursor(5, 80, 3, 50), 0); // all fit: from the left
}

TEST(KLineKeys, KeysMoveTheCursorAndTheWindow)
{
    struct Case { const char* what; KLineView before; KLineKey key; int count; KLineView after; };
    const Case cases[] = {
        {"first Left shows the newest candle in the window", {460, 40, -1}, KLineKey::Left, 500, {460, 40, 499}},
        {"first Right too, when few candles fill from the left", {0, 80, -1}, KLineKey::Right, 50, {0, 80, 49}},
        {"Left moves one candle", {460, 40, 480}, KLineKey::Left, 500, {460, 40, 479}},
        {"Left at the window's edge scrolls it", {460, 40, 460}, KLineKey::Left, 500, {459, 40, 459}},
        {"Left stops at the oldest candle", {0, 40, 0}, KLineKey::Left, 500, {0, 40, 0}},
        {"Right at the edge scrolls back", {100, 40, 139}, KLineKey::Right, 500, {101, 40, 140}},
        {"Right stops at the newest", {460, 40, 499}, KLineKey::Right, 500, {460, 40, 499}},
        {"Home goes to the oldest", {460, 40, -1}, KLineKey::Home, 500, {0, 40, 0}},
        {"End goes to the newest", {0, 40, 5}, KLineKey::End, 500, {460, 40, 499}},
        {"zoom in keeps the newest in the window", {460, 120, -1}, KLineKey::ZoomIn, 500, {420, 80, -1}},
        {"zoom out of an older window keeps its right edge", {100, 40, -1}, KLineKey::ZoomOut, 500, {80, 60, -1}},
        {"zoom keeps the cursor in the window", {100, 120, 100}, KLineKey::ZoomIn, 500, {100, 80, 100}},
        {"zoom out near the oldest stops at it", {10, 40, -1}, KLineKey::ZoomOut, 500, {0, 60, -1}},
        {"a window wider than the history starts at the oldest", {0, 80, -1}, KLineKey::ZoomOut, 50, {0, 120, -1}},
        {"a stale cursor past fewer candles comes back", {0, 80, 70}, KLineKey::Left, 50, {0, 80, 48}},
        {"no candles: nothing moves", {0, 80, -1}, KLineKey::Left, 0, {0, 80, -1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(applyKLineKey(c.before, c.key, c.count, 10, 240), c.after) << c.what;
}
