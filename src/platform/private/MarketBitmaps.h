#pragma once

#include <QImage>

namespace platform {
// The images of the market window's title bar and buttons, and the faces of the trading
// windows' image buttons; null for other numbers.
QImage drawMarketBitmap(int id);
} // namespace platform
