#pragma once

#include <QLoggingCategory>

namespace market::detail {

// The "velmora.trace" category: off unless tracing was asked for.
const QLoggingCategory& trace();

} // namespace market::detail
