#include "chart/private/ChartFonts.h"

#include "platform/Fonts.h"

namespace chart::fonts {

const QFont& title()
{
    // One per thread: loaders draw on the poller thread, paints on the window thread.
    thread_local const QFont font = platform::crispFont(QStringLiteral("微软雅黑"), 19);
    return font;
}

const QFont& label()
{
    thread_local const QFont font = platform::crispFont(QStringLiteral("宋体"), 12);
    return font;
}

} // namespace chart::fonts
