#include "platform/Trace.h"

#include <QString>

#include "client/CodePage.h"

Q_LOGGING_CATEGORY(lcVelmoraTrace, "velmora.trace", QtInfoMsg)

namespace platform {

void enableTrace(bool on) { const_cast<QLoggingCategory&>(lcVelmoraTrace()).setEnabled(QtDebugMsg, on); }

void trace(std::string_view utf8)
{
    if (lcVelmoraTrace().isDebugEnabled())
        qCDebug(lcVelmoraTrace).noquote() << QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

void traceWire(std::string_view wire)
{
    if (lcVelmoraTrace().isDebugEnabled())
        trace(client::WireToUtf8(wire));
}

} // namespace platform
