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
} // namespace market
