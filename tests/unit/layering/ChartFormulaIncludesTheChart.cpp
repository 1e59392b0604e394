// Compiled against the formula language only: the chart's windows are out of its sight.
#include "chart/formula/Language.h"
#include "chart/CandleChart.h"
