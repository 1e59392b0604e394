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
// The market window's title bar, its small buttons and the toolbar's button faces
// (captions are drawn on top by the buttons themselves).
inline constexpr int TitleBar = 139;
inline constexpr int MinimiseButton = 146;
inline constexpr int MinimiseButtonHover = 147;
inline constexpr int MinimiseButtonPressed = 148;
inline constexpr int ToolButton = 150;
inline constexpr int ToolButtonHover = 151;
inline constexpr int ToolButtonPressed = 152;
inline constexpr int MenuButton = 153;
inline constexpr int MenuButtonHover = 154;
inline constexpr int MenuButtonPressed = 155;
inline constexpr int TradeButton = 156;
inline constexpr int TradeButtonHover = 157;
inline constexpr int TradeButtonPressed = 158;
// The trading windows' small buttons on their light-grey ground, and the quick pop-ups'
// buttons: the inert left one, and the order buttons in the colours of a buy and a sell.
inline constexpr int PanelButton = 160;
inline constexpr int PanelButtonHover = 161;
inline constexpr int PanelButtonPressed = 162;
inline constexpr int QuickButton = 163;
inline constexpr int QuickButtonHover = 164;
inline constexpr int QuickButtonPressed = 165;
inline constexpr int QuickBuyButton = 166;
inline constexpr int QuickBuyButtonHover = 167;
inline constexpr int QuickBuyButtonPressed = 168;
inline constexpr int QuickSellButton = 169;
inline constexpr int QuickSellButtonHover = 170;
inline constexpr int QuickSellButtonPressed = 171;
} // namespace bmp

// The image of a resource number, drawn once and cached; a null image for an unknown
// number. Safe on any thread (QImage, not QPixmap).
QImage bitmap(int id);

QIcon appIcon();

} // namespace platform
