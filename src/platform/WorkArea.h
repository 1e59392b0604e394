#pragma once

#include <QRect>

namespace platform {

// The desktop work area (the primary screen less panels), read once on first use so
// every layout of a run agrees. Tests set it before creating windows.
QRect workArea();
void setWorkArea(const QRect& area);

} // namespace platform
