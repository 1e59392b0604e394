#include "Trace.h"

#include <string>

namespace market {

Q_LOGGING_CATEGORY(lcTrace, "velmora.trace", QtWarningMsg)

void Trace(std::initializer_list<std::string_view> pieces)
{
    if (!lcTrace().isDebugEnabled())
        return;
    std::string text;
    for (std::string_view piece : pieces)
        text += piece;
    qCDebug(lcTrace).noquote() << QString::fromStdString(text);
}

} // namespace market
