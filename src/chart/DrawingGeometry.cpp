#include "chart/DrawingGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace chart::drawing {
namespace {

double slotCentre(double index, const Frame& f)
{
    return f.left + (index - f.first) * f.slotWidth + f.slotWidth / 2.0;
}

bool near(double a, double b, double tolerance)
{
    return std::fabs(a - b) <= tolerance;
}

bool between(double v, double a, double b, double tolerance)
{
    return v >= std::min(a, b) - tolerance && v <= std::max(a, b) + tolerance;
}

} // namespace

SlotTimes::SlotTimes(std::vector<std::int64_t> times, std::int64_t fallbackStep)
    : m_times(std::move(times))
    , m_step(std::max<std::int64_t>(1, fallbackStep))
{
    if (m_times.size() < 2)
        return;
    // The median, so weekends, nights and holidays do not stretch it.
    std::vector<std::int64_t> steps;
    steps.reserve(m_times.size() - 1);
    for (std::size_t i = 1; i < m_times.size(); ++i)
        steps.push_back(m_times[i] - m_times[i - 1]);
    std::nth_element(steps.begin(), steps.begin() + std::ptrdiff_t(steps.size() / 2), steps.end());
    m_step = std::max<std::int64_t>(1, steps[steps.size() / 2]);
}

double SlotTimes::indexOf(std::int64_t time) const
{
    if (m_times.empty())
        return 0;
    const double step = double(m_step);
    if (time < m_times.front())
        return double(time - m_times.front()) / step;
    if (time >= m_times.back())
        return double(m_times.size() - 1) + double(time - m_times.back()) / step;
    const auto next = std::upper_bound(m_times.begin(), m_times.end(), time);
    const std::size_t i = std::size_t(next - m_times.begin()) - 1;
    // Inside its candle's period; a time in a gap (a night, a weekend) goes to the next one.
    return double(i) + std::min(1.0, double(time - m_times[i]) / step);
}

std::int64_t SlotTimes::timeAt(double index) const
{
    const double rounded = std::round(index);
    if (m_times.empty())
        return std::int64_t(rounded) * m_step;
    const auto last = double(m_times.size() - 1);
    if (rounded < 0)
        return m_times.front() + std::int64_t(rounded) * m_step;
    if (rounded > last)
        return m_times.back() + std::int64_t(rounded - last) * m_step;
    return m_times[std::size_t(rounded)];
}

std::int64_t periodSeconds(int periodCode)
{
    static constexpr std::int64_t kSeconds[] = {1,     60,    300,        900,          1800,         3600,
                                                7200,  86400, 7 * 86400, 30 * 86400, 91 * 86400, 365 * 86400};
    return periodCode >= 1 && periodCode <= 12 ? kSeconds[periodCode - 1] : 86400;
}

double yOfPrice(double price, const Frame& f)
{
    if (f.max == f.min)
        return (f.top + f.bottom) / 2.0;
    return f.top + (f.max - price) * (f.bottom - f.top) / (f.max - f.min);
}

double priceAtY(double y, const Frame& f)
{
    if (f.bottom == f.top)
        return f.max;
    return f.max - (y - f.top) * (f.max - f.min) / (f.bottom - f.top);
}

Pixel toPixel(const Anchor& a, const Frame& f, const SlotTimes& axis)
{
    return {slotCentre(axis.indexOf(a.time), f), yOfPrice(a.price, f)};
}

Anchor toAnchor(const Pixel& p, const Frame& f, const SlotTimes& axis)
{
    const double index = f.slotWidth > 0 ? f.first + (p.x - f.left - f.slotWidth / 2.0) / f.slotWidth : f.first;
    return {axis.timeAt(index), priceAtY(p.y, f)};
}

std::optional<std::pair<Pixel, Pixel>> clipToFrame(Pixel a, Pixel b, Extent extent, const Frame& f)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    if (dx == 0 && dy == 0)
        return std::nullopt;
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    double lo = extent == Extent::Line ? -kInfinity : 0.0;
    double hi = extent == Extent::Segment ? 1.0 : kInfinity;
    // Liang-Barsky: narrow the line's parameter to each edge of the frame in turn.
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.x - f.left, f.right - a.x, a.y - f.top, f.bottom - a.y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return std::nullopt;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            lo = std::max(lo, t);
        else
            hi = std::min(hi, t);
    }
    if (lo > hi)
        return std::nullopt;
    return std::pair{Pixel{a.x + lo * dx, a.y + lo * dy}, Pixel{a.x + hi * dx, a.y + hi * dy}};
}

double distanceToSegment(Pixel p, Pixel a, Pixel b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / lengthSquared : 0;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

std::array<double, 6> fibonacciPrices(double firstPrice, double secondPrice)
{
    std::array<double, 6> prices{};
    for (std::size_t i = 0; i < kFibonacciLevels.size(); ++i)
        prices[i] = secondPrice + (firstPrice - secondPrice) * kFibonacciLevels[i] / 100;
    return prices;
}

std::pair<Pixel, Pixel> parallelThrough(Pixel a, Pixel b, Pixel c)
{
    if (a.x == b.x) {
        const double dx = c.x - a.x;
        return {{a.x + dx, a.y}, {b.x + dx, b.y}};
    }
    const double onLine = a.y + (c.x - a.x) * (b.y - a.y) / (b.x - a.x);
    const double dy = c.y - onLine;
    return {{a.x, a.y + dy}, {b.x, b.y + dy}};
}

int pointCount(Shape shape)
{
    switch (shape) {
    case Shape::Horizontal:
    case Shape::Text:
        return 1;
    case Shape::Channel:
        return 3;
    default:
        return 2;
    }
}

Hit hitTest(Shape shape, const std::vector<Pixel>& points, Pixel p, const Frame& f,
            std::optional<std::array<double, 4>> textBox)
{
    if (points.size() < std::size_t(pointCount(shape)))
        return {};
    for (std::size_t i = 0; i < points.size(); ++i)
        if (std::hypot(p.x - points[i].x, p.y - points[i].y) <= kHandleTolerance)
            return {true, int(i)};
    const double tol = kHitTolerance;
    auto onLine = [&](Pixel a, Pixel b, Extent extent) {
        const auto clipped = clipToFrame(a, b, extent, f);
        return clipped && distanceToSegment(p, clipped->first, clipped->second) <= tol;
    };
    const Pixel& a = points[0];
    bool body = false;
    switch (shape) {
    case Shape::Segment:
        body = distanceToSegment(p, a, points[1]) <= tol;
        break;
    case Shape::Ray:
        body = onLine(a, points[1], Extent::Ray);
        break;
    case Shape::Line:
        body = onLine(a, points[1], Extent::Line);
        break;
    case Shape::Horizontal:
        body = near(p.y, a.y, tol) && between(p.x, f.left, f.right, 0);
        break;
    case Shape::Channel: {
        const auto [c, d] = parallelThrough(a, points[1], points[2]);
        body = distanceToSegment(p, a, points[1]) <= tol || distanceToSegment(p, c, d) <= tol;
        break;
    }
    case Shape::Fibonacci:
        for (const double price : fibonacciPrices(priceAtY(a.y, f), priceAtY(points[1].y, f)))
            body = body || (near(p.y, yOfPrice(price, f), tol) && between(p.x, a.x, points[1].x, tol));
        break;
    case Shape::Rectangle: {
        const Pixel& b = points[1];
        const bool onVertical = (near(p.x, a.x, tol) || near(p.x, b.x, tol)) && between(p.y, a.y, b.y, tol);
        const bool onHorizontal = (near(p.y, a.y, tol) || near(p.y, b.y, tol)) && between(p.x, a.x, b.x, tol);
        body = onVertical || onHorizontal;
        break;
    }
    case Shape::Text:
        body = textBox && p.x >= (*textBox)[0] && p.x <= (*textBox)[2] && p.y >= (*textBox)[1] && p.y <= (*textBox)[3];
        break;
    }
    return body ? Hit{true, -1} : Hit{};
}

} // namespace chart::drawing
