#pragma once

#include <QImage>

namespace platform {
// The images of the market window's title bar and buttons, and the trading windows' buttons;
// null for other numbers.
QImage drawMarketBitmap(int id);
} // namespace platform
