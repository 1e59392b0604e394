#pragma once

#include <cstdint>

#include <QColor>

namespace chart {

// Colours are kept as 32-bit values with red in the low byte, the form the element
// records and the exchange's colour rules are written in.
using Colour = std::uint32_t;

constexpr Colour Rgb(int r, int g, int b)
{
    return static_cast<Colour>(r & 0xff) | (static_cast<Colour>(g & 0xff) << 8)
           | (static_cast<Colour>(b & 0xff) << 16);
}

inline QColor toQColor(Colour c)
{
    return QColor(int(c & 0xff), int((c >> 8) & 0xff), int((c >> 16) & 0xff));
}

inline constexpr Colour kBlack = Rgb(0, 0, 0);
// Market-wide colours of the terminal (quote panel, time-share volumes, percentages).
inline constexpr Colour kRiseColour = Rgb(233, 39, 76);
inline constexpr Colour kFallColour = Rgb(58, 186, 82);
// The candle chart's own pair.
inline constexpr Colour kCandleRise = Rgb(254, 54, 54);
inline constexpr Colour kCandleFall = Rgb(85, 255, 255);
// Volume points of the candle chart: a falling bar is filled, any other hollow.
inline constexpr Colour kVolumeUp = Rgb(255, 0, 0);
inline constexpr Colour kVolumeDown = Rgb(0, 255, 255);

} // namespace chart
