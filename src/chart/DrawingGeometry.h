#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// Where the trader's drawings fall on a chart. Each point of a drawing is anchored to a time
// and a price; these functions map them to pixels for whatever window, zoom, size and period
// the chart shows, and back, and answer what a click hits. No window system: plain numbers.
namespace chart::drawing {

struct Anchor
{
    std::int64_t time = 0; // seconds, the start of the candle it was put on
    double price = 0;
    bool operator==(const Anchor&) const = default;
};

struct Pixel
{
    double x = 0;
    double y = 0;
    bool operator==(const Pixel&) const = default;
};

// The plot a drawing is drawn in and the element window shown there.
struct Frame
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    double max = 0; // price at the top
    double min = 0; // price at the bottom
    int first = 0;     // index of the element in the window's first slot
    int slotWidth = 0; // pixels per slot
};

// The candles' times in order, with the spacing a time beyond them is counted in.
class SlotTimes
{
public:
    // `times` ascending; the spacing is their median step, else `fallbackStep`.
    SlotTimes(std::vector<std::int64_t> times, std::int64_t fallbackStep);

    // The fractional element index of a time: within a candle's period it lies between that
    // candle and the next; beyond the history it counts on in whole steps.
    double indexOf(std::int64_t time) const;
    // The time of the element nearest a fractional index, past the history counted in steps.
    std::int64_t timeAt(double index) const;
    std::int64_t step() const { return m_step; }
    const std::vector<std::int64_t>& times() const { return m_times; }

private:
    std::vector<std::int64_t> m_times;
    std::int64_t m_step = 1;
};

// The nominal length in seconds of a candle of period code 1..12 (ticks count one second).
std::int64_t periodSeconds(int periodCode);

Pixel toPixel(const Anchor& a, const Frame& f, const SlotTimes& axis);
// The anchor under a pixel: the time of the nearest slot's element, the price at its row.
Anchor toAnchor(const Pixel& p, const Frame& f, const SlotTimes& axis);
double priceAtY(double y, const Frame& f);
double yOfPrice(double price, const Frame& f);

// How far a line through two points is drawn.
enum class Extent { Segment, Ray, Line };
// The part of the line a–b inside the frame, carried past b (Ray) or both ways (Line);
// nothing when none of it is inside or the two points are the same.
std::optional<std::pair<Pixel, Pixel>> clipToFrame(Pixel a, Pixel b, Extent extent, const Frame& f);

// Distance from p to the segment a–b (a point when a = b).
double distanceToSegment(Pixel p, Pixel a, Pixel b);

// The retracement levels between the first and the second point, in %.
inline constexpr std::array<double, 6> kFibonacciLevels{0, 23.6, 38.2, 50, 61.8, 100};
// The price of each level: 0 % at the second point, 100 % at the first.
std::array<double, 6> fibonacciPrices(double firstPrice, double secondPrice);

// The parallel of a–b through c, as its two points over a and b (pixels).
std::pair<Pixel, Pixel> parallelThrough(Pixel a, Pixel b, Pixel c);

enum class Shape { Segment, Ray, Line, Horizontal, Channel, Fibonacci, Rectangle, Text };

// How many points the user clicks for a shape.
int pointCount(Shape shape);

// What a click at p hits of a drawing whose points are at `points`: a handle (index of the
// point), the body (-1), or nothing. `textBox` is the text's box for a text note.
struct Hit
{
    bool hit = false;
    int handle = -1;
};
inline constexpr double kHitTolerance = 4;
inline constexpr double kHandleTolerance = 5;
Hit hitTest(Shape shape, const std::vector<Pixel>& points, Pixel p, const Frame& f,
            std::optional<std::array<double, 4>> textBox = std::nullopt);

} // namespace chart::drawing
