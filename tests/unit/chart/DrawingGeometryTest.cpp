// The drawings' geometry: anchors to pixels and back, extension to the frame, hits, levels.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "chart/DrawingGeometry.h"

using namespace chart::drawing;

namespace {

constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kMonday = 1701648000; // 2023-12-04 00:00 UTC

// Weekdays of four weeks: the weekends leave gaps of three days.
std::vector<std::int64_t> Weekdays()
{
    std::vector<std::int64_t> t;
    for (int week = 0; week < 4; ++week)
        for (int d = 0; d < 5; ++d)
            t.push_back(kMonday + (week * 7 + d) * kDay);
    return t;
}

std::vector<std::int64_t> Weeks()
{
    std::vector<std::int64_t> t;
    for (int week = 0; week < 4; ++week)
        t.push_back(kMonday + week * 7 * kDay);
    return t;
}

// Hours 09:30 to 14:30 of the same weekdays.
std::vector<std::int64_t> Hours()
{
    std::vector<std::int64_t> t;
    for (const std::int64_t day : Weekdays())
        for (int h = 0; h < 6; ++h)
            t.push_back(day + 9 * 3600 + 1800 + h * 3600);
    return t;
}

// A 600 x 200 plot at (0, 20), prices 10 to 20.
Frame Plot(int first, int slotWidth)
{
    return Frame{0, 20, 600, 220, 20, 10, first, slotWidth};
}

} // namespace

TEST(DrawingGeometry, AnchorsFollowEveryPeriodWindowAndZoom)
{
    const SlotTimes daily(Weekdays(), kDay);
    const SlotTimes weekly(Weeks(), 7 * kDay);
    const SlotTimes hourly(Hours(), 3600);
    EXPECT_EQ(daily.step(), kDay); // the median: weekends do not stretch it
    const Anchor wednesday{kMonday + 9 * kDay, 15}; // the second week's Wednesday
    struct Case
    {
        const SlotTimes* times;
        Frame frame;
        double x;
    };
    const Case cases[] = {
        {&daily, Plot(0, 20), 7 * 20 + 10},         // the 8th candle, in the middle of its slot
        {&daily, Plot(5, 20), 2 * 20 + 10},         // scrolled on five candles
        {&daily, Plot(0, 10), 7 * 10 + 5},          // zoomed out
        {&weekly, Plot(0, 20), 20 + 10 + 20 * 2.0 / 7}, // in its week's slot, two days on
        {&hourly, Plot(0, 4), 7 * 6 * 4 + 2},       // on that day's first hour
    };
    for (const Case& c : cases) {
        const Pixel p = toPixel(wednesday, c.frame, *c.times);
        EXPECT_DOUBLE_EQ(p.x, c.x);
        EXPECT_DOUBLE_EQ(p.y, 120); // 15 is halfway
    }
    // Beyond the history, in whole steps: a week after the last candle, before the first.
    EXPECT_DOUBLE_EQ(toPixel({Weekdays().back() + 7 * kDay, 20}, Plot(0, 20), daily).x, 26 * 20 + 10);
    EXPECT_DOUBLE_EQ(toPixel({kMonday - 2 * kDay, 10}, Plot(0, 20), daily).x, -2 * 20 + 10);
    EXPECT_DOUBLE_EQ(toPixel({kMonday, 10}, Plot(0, 20), daily).y, 220);
}

TEST(DrawingGeometry, PixelsGoBackToTheCandleAndPrice)
{
    const SlotTimes daily(Weekdays(), kDay);
    for (const Frame& f : {Plot(0, 20), Plot(3, 7), Plot(-4, 30)}) {
        for (const Anchor a : {Anchor{kMonday + kDay, 12.5}, Anchor{Weekdays().back() + 3 * kDay, 19},
                               Anchor{kMonday - 5 * kDay, 10}}) {
            const Anchor back = toAnchor(toPixel(a, f, daily), f, daily);
            EXPECT_EQ(back.time, a.time);
            EXPECT_NEAR(back.price, a.price, 1e-9);
        }
    }
    // A click between two slots goes to the nearer candle.
    EXPECT_EQ(toAnchor({29, 100}, Plot(0, 20), daily).time, kMonday + kDay);
    EXPECT_EQ(toAnchor({31, 100}, Plot(0, 20), daily).time, kMonday + kDay);
    EXPECT_EQ(toAnchor({9, 100}, Plot(0, 20), daily).time, kMonday);
    EXPECT_EQ(periodSeconds(9), 7 * kDay);
    EXPECT_EQ(periodSeconds(0), kDay);
}

TEST(DrawingGeometry, RaysAndLinesReachTheFrame)
{
    const Frame f = Plot(0, 20);
    struct Case
    {
        Pixel a, b;
        Extent extent;
        std::optional<std::pair<Pixel, Pixel>> expected;
    };
    const Case cases[] = {
        {{100, 120}, {200, 120}, Extent::Segment, std::pair{Pixel{100, 120}, Pixel{200, 120}}},
        {{100, 120}, {200, 120}, Extent::Ray, std::pair{Pixel{100, 120}, Pixel{600, 120}}},
        {{100, 120}, {200, 120}, Extent::Line, std::pair{Pixel{0, 120}, Pixel{600, 120}}},
        {{100, 120}, {200, 70}, Extent::Ray, std::pair{Pixel{100, 120}, Pixel{300, 20}}}, // out at the top
        {{100, 100}, {100, 150}, Extent::Line, std::pair{Pixel{100, 20}, Pixel{100, 220}}}, // vertical
        {{-100, 0}, {-50, 10}, Extent::Segment, std::nullopt},                               // all outside
        {{700, 120}, {800, 120}, Extent::Ray, std::nullopt},                                 // away from it
        {{700, 120}, {800, 120}, Extent::Line, std::pair{Pixel{0, 120}, Pixel{600, 120}}},
        {{100, 120}, {100, 120}, Extent::Line, std::nullopt},                                // one point
    };
    for (const Case& c : cases) {
        const auto got = clipToFrame(c.a, c.b, c.extent, f);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.a.x << "," << c.a.y;
        if (got) {
            EXPECT_NEAR(got->first.x, c.expected->first.x, 1e-9);
            EXPECT_NEAR(got->first.y, c.expected->first.y, 1e-9);
            EXPECT_NEAR(got->second.x, c.expected->second.x, 1e-9);
            EXPECT_NEAR(got->second.y, c.expected->second.y, 1e-9);
        }
    }
}

TEST(DrawingGeometry, FibonacciLevelsAndChannels)
{
    const std::array<double, 6> up = fibonacciPrices(10, 20); // a swing from 10 up to 20
    const std::array<double, 6> expected{20, 17.64, 16.18, 15, 13.82, 10};
    for (std::size_t i = 0; i < up.size(); ++i)
        EXPECT_NEAR(up[i], expected[i], 1e-9) << kFibonacciLevels[i];
    EXPECT_NEAR(fibonacciPrices(20, 10)[1], 12.36, 1e-9); // and down
    const auto [c, d] = parallelThrough({0, 100}, {100, 50}, {50, 125});
    EXPECT_EQ(c, (Pixel{0, 150}));
    EXPECT_EQ(d, (Pixel{100, 100}));
    const auto [e, g] = parallelThrough({10, 0}, {10, 50}, {30, 5}); // a vertical one moves sideways
    EXPECT_EQ(e, (Pixel{30, 0}));
    EXPECT_EQ(g, (Pixel{30, 50}));
}

TEST(DrawingGeometry, ClicksHitHandlesBodiesOrNothing)
{
    const Frame f = Plot(0, 20);
    struct Case
    {
        Shape shape;
        std::vector<Pixel> points;
        Pixel click;
        bool hit;
        int handle;
    };
    const std::vector<Pixel> two{{100, 100}, {200, 150}};
    const Case cases[] = {
        {Shape::Segment, two, {102, 101}, true, 0},
        {Shape::Segment, two, {150, 126}, true, -1},
        {Shape::Segment, two, {250, 175}, false, -1}, // past its end
        {Shape::Ray, two, {250, 175}, true, -1},      // carried on
        {Shape::Ray, two, {50, 75}, false, -1},       // not backwards
        {Shape::Line, two, {50, 75}, true, -1},
        {Shape::Horizontal, {{300, 60}}, {590, 63}, true, -1},
        {Shape::Horizontal, {{300, 60}}, {590, 66}, false, -1},
        {Shape::Channel, {{100, 100}, {200, 150}, {150, 90}}, {100, 65}, true, -1}, // on the parallel
        {Shape::Channel, {{100, 100}, {200, 150}, {150, 90}}, {150, 90}, true, 2},
        {Shape::Fibonacci, {{100, 220}, {200, 20}}, {150, 120}, true, -1},  // the 50 % line
        {Shape::Fibonacci, {{100, 220}, {200, 20}}, {150, 108}, false, -1}, // between levels
        {Shape::Rectangle, two, {150, 148}, true, -1},
        {Shape::Rectangle, two, {150, 125}, false, -1}, // inside, off its edges
        {Shape::Segment, {{100, 100}}, {100, 100}, false, -1}, // a drawing missing a point
    };
    for (const Case& c : cases) {
        const Hit h = hitTest(c.shape, c.points, c.click, f);
        EXPECT_EQ(h.hit, c.hit) << int(c.shape) << " at " << c.click.x << "," << c.click.y;
        EXPECT_EQ(h.handle, c.handle) << int(c.shape) << " at " << c.click.x << "," << c.click.y;
    }
    const std::array<double, 4> box{300, 40, 360, 56};
    EXPECT_TRUE(hitTest(Shape::Text, {{300, 40}}, {340, 50}, f, box).hit);
    EXPECT_FALSE(hitTest(Shape::Text, {{300, 40}}, {370, 50}, f, box).hit);
}
