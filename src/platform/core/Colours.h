#pragma once

#include <QColor>

// The display colours every market view and trading window shares.
namespace platform {
inline const QColor RiseColour(233, 39, 76);
inline const QColor FallColour(58, 186, 82);
inline const QColor VolumeColour(91, 91, 242);
inline const QColor TextOnLight(48, 48, 48);
inline const QColor TextOnDark(240, 240, 240);
} // namespace platform
