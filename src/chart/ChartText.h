#pragma once

#include <string>

namespace chart {

bool isWhole(float v);
// Characters of v printed "%d" when whole, "%f" otherwise.
int valueTextWidth(float v);
// A value label: "%d" when whole, else "%.2f"; wholeOnly always truncates to "%d".
std::string valueLabel(float v, bool wholeOnly);
// Unsigned distance of grid line i (of 0..10) from the middle line, as a percentage of
// the middle value (max + min) / 2.
std::string percentLabel(float valueStep, int line, float max, float min);

} // namespace chart
