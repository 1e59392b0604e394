#include "chart/CSubAreaScale.h"

#include <cmath>

#include "platform/Trace.h"

namespace {
constexpr double kEpsilon = 0.00001;
}

void CSubAreaScale::rescale(int n)
{
    slotCount = n;
    slotWidth = n > 0 ? (plotRight - plotLeft) / n : 0;
    qCDebug(lcVelmoraTrace, "\n单个像素%f\n", double(slotWidth));
    divisions = 10;
    valueStep = (max - min) / 10;
    pixelStep = (plotBottom - plotTop) / 10;
}

int CSubAreaScale::ValueToY(double v) const
{
    if (v > -kEpsilon && v < kEpsilon)
        v = 0;
    if (max > -kEpsilon && max < kEpsilon)
        return plotBottom;
    const double span = max - min;
    // A flat range away from zero has no scale; its values sit on the middle row.
    if (std::fabs(span) < 1e-12 || !std::isfinite(span))
        return (plotTop + plotBottom) / 2;
    const double y = plotTop + (max - v) * (plotBottom - plotTop) / span;
    if (!std::isfinite(y) || y > 1e8 || y < -1e8)
        return y < 0 ? -100000000 : 100000000;
    return static_cast<int>(y); // truncation toward zero
}
