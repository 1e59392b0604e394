#pragma once

#include <initializer_list>
#include <string_view>

#include <QLoggingCategory>

namespace market {

Q_DECLARE_LOGGING_CATEGORY(lcTrace)

// Writes the pieces of one trace (title line, reply text, end line) to the debug output.
void Trace(std::initializer_list<std::string_view> pieces);

} // namespace market
