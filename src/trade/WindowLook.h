#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

#include "controls/CButtonBMP.h"
#include "platform/Bitmaps.h"

class JListCtrl;
class QPainter;
class QWidget;

// The light look the windows of the trade panel share.
namespace trade {

inline const QColor kWindowGround{240, 240, 240};
inline const QColor kFrameColour{160, 160, 160};
inline const QColor kLabelColour{32, 32, 32};

// "宋体" of height 15, the labels' font.
QFont labelFont();

// The one-pixel frame and, when `dividerY` is not negative, the line under the button strip.
void paintFrame(QPainter& painter, const QRect& client, int dividerY = -1);
// Fills the client area, then paints the frame.
void paintGround(QPainter& painter, const QRect& client, const QColor& ground, int dividerY = -1);

// The plain command face of these windows' image buttons; an order button wears its side's.
inline constexpr CButtonBMP::Bitmaps kCommandFace{platform::bmp::PanelButton, platform::bmp::PanelButtonHover,
                                                  platform::bmp::PanelButtonPressed};
// An image button of these windows, its caption in a font that fits the small faces.
CButtonBMP* makeButton(QWidget* parent, int controlId, const QString& caption, const QRect& rect,
                       const CButtonBMP::Bitmaps& face = kCommandFace);

// A report list named by its control id, with the light look (columns come from its ListSpec).
JListCtrl* makeList(QWidget* parent, int controlId);

// The size a hosted window has before the panel places it: right of the tree, below the
// title strip, across the rest of the work area.
QSize hostedWindowSize();
// Names the window, gives it that size, and lets its own paint cover it whole.
void setUpHostedWindow(QWidget& window, const char* className);

// `rect` moved left as far as it reaches past `width`: a button placed from the screen's
// width stays whole inside a window that ends sooner.
QRect insideWidth(QRect rect, int width);

// The bottom of a list that the layout ends `below` pixels under the window's top; kept
// `margin` pixels inside the window when that lies lower than the window reaches.
int listBottom(int below, int clientHeight, int margin = 10);

} // namespace trade
