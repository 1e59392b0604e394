#pragma once

#include <QImage>

namespace platform {
// The images of the trade panel, its lock window, the order windows and the function
// tree; null for other numbers.
QImage drawTradeBitmap(int id);
} // namespace platform
