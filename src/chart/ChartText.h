#pragma once

#include <string>

// The numbers the charts print. None of them follows the process locale (Qt sets LC_NUMERIC
// from the desktop, where "%.2f" can print "12,50"), and all of them round, never cut.
namespace chart {

bool isWhole(double v);
// Characters of v printed "%d" when whole, "%f" otherwise.
int valueTextWidth(double v);
// v with `decimals` places, rounded half away from zero; never "-0.00".
std::string fixedText(double v, int decimals);
// A value label: "%d" when whole, else "%.2f"; wholeOnly always rounds to "%d".
std::string valueLabel(double v, bool wholeOnly);
// An oscillator's value: two places, more where it takes them to show three significant
// digits (a MACD of 0.0042 is "0.00420", not "0.00").
std::string oscillatorText(double v);
// Unsigned distance of grid line i (of 0..10) from the middle line, as a percentage of
// the middle value (max + min) / 2.
std::string percentLabel(double valueStep, int line, double max, double min);

} // namespace chart
