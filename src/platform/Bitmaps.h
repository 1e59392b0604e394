#pragma once

#include <QIcon>
#include <QImage>

namespace platform {

// Resource numbers of the images the project draws itself.
namespace bmp {
inline constexpr int AppIcon = 128;
inline constexpr int LoginBackground = 129;
inline constexpr int LoginButtonPressed = 132;
inline constexpr int LoginButton = 133;
inline constexpr int LoginButtonHover = 134;
inline constexpr int CloseButton = 143;
inline constexpr int CloseButtonHover = 144;
inline constexpr int CloseButtonPressed = 145;
inline constexpr int AccountModeIcon = 231; // plain/masked account switch
inline constexpr int CheckOff = 233;
inline constexpr int CheckOn = 234;
} // namespace bmp

// The image of a resource number, drawn once and cached; a null image for an unknown
// number. Safe on any thread (QImage, not QPixmap).
QImage bitmap(int id);

QIcon appIcon();

} // namespace platform
