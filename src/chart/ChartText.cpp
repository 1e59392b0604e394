#include "chart/ChartText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace chart {
namespace {

constexpr double kEpsilon = 0.00001;
// A value worked out from decimal prices lies some units of its last bits off the decimal it
// stands for (42.745 is 42.74499999...; an average's running sum adds more): a value this
// close below a halfway point is taken as the halfway point.
constexpr double kHalfwaySlack = 1e-9;
// The most places an oscillator's value is shown with; below that it reads as zero.
constexpr int kMaxOscillatorDecimals = 8;

double awayFromZero(double v)
{
    return v + std::copysign(std::fabs(v) * kHalfwaySlack, v);
}

long long rounded(double v)
{
    // Values outside the integer range (a garbage reply) must not make the cast undefined.
    if (!std::isfinite(v))
        return 0;
    const double d = std::round(awayFromZero(v));
    if (d > 9.0e18)
        return 9000000000000000000LL;
    if (d < -9.0e18)
        return -9000000000000000000LL;
    return static_cast<long long>(d);
}

std::string integerText(long long v)
{
    char buf[24];
    const auto end = std::to_chars(buf, buf + sizeof buf, v).ptr;
    return std::string(buf, end);
}

} // namespace

bool isWhole(double v)
{
    return std::isfinite(v) && std::trunc(v) == v;
}

int valueTextWidth(double v)
{
    if (isWhole(v))
        return int(integerText(rounded(v)).size());
    char buf[400]; // "%f" of the largest double
    const auto end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 6).ptr;
    return int(end - buf);
}

std::string fixedText(double v, int decimals)
{
    char buf[400];
    const double shown = std::isfinite(v) ? awayFromZero(v) : v;
    const auto end = std::to_chars(buf, buf + sizeof buf, shown, std::chars_format::fixed, decimals).ptr;
    std::string text(buf, end);
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

std::string valueLabel(double v, bool wholeOnly)
{
    if (wholeOnly || isWhole(v))
        return integerText(rounded(v));
    return fixedText(v, 2);
}

std::string oscillatorText(double v)
{
    if (!std::isfinite(v) || std::fabs(v) >= 1)
        return fixedText(v, 2);
    if (std::fabs(v) < 0.5 * std::pow(10.0, -kMaxOscillatorDecimals))
        return "0.00";
    const int leadingZeros = -int(std::floor(std::log10(std::fabs(v)))) - 1;
    return fixedText(v, std::clamp(leadingZeros + 3, 2, kMaxOscillatorDecimals));
}

std::string percentLabel(double valueStep, int line, double max, double min)
{
    // A middle value of zero would print "inf%"; such a scale has no meaningful percentages.
    if ((valueStep > -kEpsilon && valueStep < kEpsilon) || std::fabs(max + min) < kEpsilon)
        return "0%";
    const int k = std::abs(line - 5);
    return fixedText(valueStep * k * 100 / (max + min) * 2, 2) + "%";
}

} // namespace chart
