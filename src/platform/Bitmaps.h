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
// The trade panel's "产品" header, and the small close and hide buttons of the panel and of
// its lock window (normal, hover, pressed as numbered there).
inline constexpr int PanelHeader = 172;
inline constexpr int PanelHeaderHover = 173;
inline constexpr int PanelHeaderPressed = 174;
inline constexpr int PanelClosePressed = 236;
inline constexpr int PanelClose = 237;
inline constexpr int PanelCloseHover = 238;
inline constexpr int PanelHidePressed = 239;
inline constexpr int PanelHide = 240;
inline constexpr int PanelHideHover = 241;
// The function tree's 16 x 16 icons.
inline constexpr int TreeGroupIcon = 180;
inline constexpr int TreeBuyIcon = 181;
inline constexpr int TreeSellIcon = 182;
inline constexpr int TreeCancelIcon = 183;
inline constexpr int TreePasswordIcon = 184;
inline constexpr int TreeLeafIcon = 185;
} // namespace bmp

// The image of a resource number, drawn once and cached; a null image for an unknown
// number. Safe on any thread (QImage, not QPixmap).
QImage bitmap(int id);

QIcon appIcon();

} // namespace platform
