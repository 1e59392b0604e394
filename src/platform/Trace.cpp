#include "platform/Trace.h"

#include <QString>

Q_LOGGING_CATEGORY(lcVelmoraTrace, "velmora.trace", QtInfoMsg)

namespace platform {

void enableTrace(bool on) { const_cast<QLoggingCategory&>(lcVelmoraTrace()).setEnabled(QtDebugMsg, on); }

void trace(std::string_view utf8)
{
    if (lcVelmoraTrace().isDebugEnabled())
        qCDebug(lcVelmoraTrace).noquote() << QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

} // namespace platform
