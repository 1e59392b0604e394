#include "chart/ChartTrace.h"

namespace chart {

const QLoggingCategory& Trace()
{
    static const QLoggingCategory category("velmora.trace", QtWarningMsg);
    return category;
}

} // namespace chart
