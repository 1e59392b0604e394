#include "chart/ChartText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace chart {
namespace {

constexpr float kEpsilon = 0.00001f;

long long truncated(float v)
{
    // Values outside the integer range (a garbage reply) must not make the cast undefined.
    if (!std::isfinite(v))
        return 0;
    const double d = std::trunc(double(v));
    if (d > 9.0e18)
        return 9000000000000000000LL;
    if (d < -9.0e18)
        return -9000000000000000000LL;
    return static_cast<long long>(d);
}

} // namespace

bool isWhole(float v)
{
    return std::isfinite(v) && std::trunc(v) == v;
}

int valueTextWidth(float v)
{
    char buf[512];
    const int n = isWhole(v) ? std::snprintf(buf, sizeof buf, "%lld", truncated(v))
                             : std::snprintf(buf, sizeof buf, "%f", double(v));
    return n < 0 ? 0 : n;
}

std::string valueLabel(float v, bool wholeOnly)
{
    char buf[512];
    if (wholeOnly || isWhole(v))
        std::snprintf(buf, sizeof buf, "%lld", truncated(v));
    else
        std::snprintf(buf, sizeof buf, "%.2f", double(v));
    return buf;
}

std::string percentLabel(float valueStep, int line, float max, float min)
{
    // A middle value of zero would print "inf%"; such a scale has no meaningful percentages.
    if ((valueStep > -kEpsilon && valueStep < kEpsilon) || std::fabs(max + min) < kEpsilon)
        return "0%";
    const int k = std::abs(line - 5);
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.2f%%", double(valueStep * k * 100 / (max + min) * 2));
    return buf;
}

} // namespace chart
