#pragma once

#include <QImage>

namespace platform {
// The images of the trading windows: their buttons, the trade panel's strip and lock, and
// the function tree's icons; null for other numbers.
QImage drawTradeBitmap(int id);
} // namespace platform
