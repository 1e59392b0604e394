#pragma once

#include <string_view>

namespace client {

// The core has no logging of its own: the platform layer installs where traces go (the
// "velmora.trace" category) and whether anyone listens, so a reply is converted for the
// trace only when it will be read.
struct TraceHook
{
    bool (*enabled)() = nullptr;
    void (*write)(std::string_view utf8) = nullptr;
};

void installTraceHook(TraceHook hook);

bool traceEnabled();
// Writes the text as it stands (titles carry their own line ends); nothing without a hook.
void trace(std::string_view utf8);

} // namespace client
