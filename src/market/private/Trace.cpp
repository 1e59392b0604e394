#include "market/private/Trace.h"

namespace market::detail {

Q_LOGGING_CATEGORY(traceCategory, "velmora.trace", QtWarningMsg)

const QLoggingCategory& trace()
{
    return traceCategory();
}

} // namespace market::detail
