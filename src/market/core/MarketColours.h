#pragma once

#include <QColor>

#include "platform/core/Colours.h"

namespace market {
// The market views' colours: the shared ones, and the item-name colour of the overview.
inline const QColor& kRiseColour = platform::RiseColour;
inline const QColor& kFallColour = platform::FallColour;
inline const QColor& kVolumeColour = platform::VolumeColour;
inline const QColor& kLevelColour = platform::TextOnDark;
inline const QColor kNameColour{237, 245, 23};
// A selected row of the dark lists: every colour above stays at 3:1 or more against the band
// (the light grey of other lists would take the names below 1.5:1), and the outline shows
// which row it is.
inline const QColor kSelectedBand{0, 0, 0};
inline const QColor kSelectedOutline{196, 196, 196};
} // namespace market
