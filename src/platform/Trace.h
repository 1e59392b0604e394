#pragma once

#include <string_view>

#include <QLoggingCategory>

// Debug traces of requests and replies: off unless --trace or QT_LOGGING_RULES turn them on.
Q_DECLARE_LOGGING_CATEGORY(lcVelmoraTrace)

namespace platform {

void enableTrace(bool on);
// Writes the text as it stands (titles carry their own line ends).
void trace(std::string_view utf8);
// Writes a reply of the service as text, converted from the wire code page.
void traceWire(std::string_view wire);

} // namespace platform
