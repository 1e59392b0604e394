#include "chart/CDataElementFormula.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "chart/ChartText.h"

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

template <class Pick>
double extreme(const CDataElementFormula& e, Pick pick)
{
    double v = kNone;
    for (std::size_t k = 0; k < e.count && k < e.values.size(); ++k) {
        if (!(e.ranged >> k & 1u) || !std::isfinite(e.values[k]))
            continue;
        v = std::isnan(v) ? e.values[k] : pick(v, e.values[k]);
    }
    return v;
}

} // namespace

double CDataElementFormula::High() const
{
    return extreme(*this, [](double a, double b) { return std::max(a, b); });
}

double CDataElementFormula::Low() const
{
    return extreme(*this, [](double a, double b) { return std::min(a, b); });
}

int CDataElementFormula::labelWidth() const
{
    int width = 0;
    for (std::size_t k = 0; k < count && k < values.size(); ++k)
        if ((ranged >> k & 1u) && std::isfinite(values[k]))
            width = std::max(width, chart::valueTextWidth(values[k]));
    return width;
}
