#pragma once

#include <QLoggingCategory>

namespace chart {

// Debug traces of the charts ("velmora.trace"), off unless enabled.
const QLoggingCategory& Trace();

} // namespace chart
