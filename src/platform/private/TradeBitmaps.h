#pragma once

#include <QImage>

namespace platform {
// The images of the trading windows' buttons; null for other numbers.
QImage drawTradeBitmap(int id);
} // namespace platform
