#pragma once

#include <QColor>

namespace market {

// The market views' shared colours.
inline const QColor kRiseColour{233, 39, 76};
inline const QColor kFallColour{58, 186, 82};
inline const QColor kVolumeColour{91, 91, 242};
inline const QColor kLevelColour{240, 240, 240};
inline const QColor kNameColour{237, 245, 23};

} // namespace market
