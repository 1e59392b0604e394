#include "platform/Trace.h"

#include <QString>

#include "client/CodePage.h"
#include "client/Trace.h"

Q_LOGGING_CATEGORY(lcVelmoraTrace, "velmora.trace", QtInfoMsg)

namespace platform {
namespace {

bool traceOn() { return lcVelmoraTrace().isDebugEnabled(); }

void write(std::string_view utf8)
{
    qCDebug(lcVelmoraTrace).noquote() << QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

// The core's requests trace through the same category as everything else. Installed when
// this file is part of the program, which every user of the category makes it.
const bool g_clientHookInstalled = [] {
    client::installTraceHook({&traceOn, &write});
    return true;
}();

} // namespace

void enableTrace(bool on)
{
    client::installTraceHook({&traceOn, &write});
    const_cast<QLoggingCategory&>(lcVelmoraTrace()).setEnabled(QtDebugMsg, on);
}

void trace(std::string_view utf8)
{
    if (traceOn())
        write(utf8);
}

void traceWire(std::string_view wire)
{
    if (traceOn())
        write(client::wireToUtf8(wire));
}

} // namespace platform
