#include "mainwnd/WatchlistChange.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "client/SettingsFolder.h"
#include "market/core/Watchlist.h"
#include "platform/SaveFile.h"
#include "session/Session.h"

namespace mainwnd {

QString changeWatchlist(QWidget* window, int code, bool add)
{
    if (code == 0)
        return QStringLiteral("未选中商品：先用 ↑ ↓ 选中一行");
    std::vector<int> codes = Session::current().watchlist();
    const auto at = std::find(codes.begin(), codes.end(), code);
    const std::optional<market::ItemEntry> item = Session::current().findItem(code);
    const QString named = QString::number(code) + (item ? QLatin1Char(' ') + QString::fromStdString(item->name) : QString());
    if (add == (at != codes.end()))
        return (add ? QStringLiteral("已在自选中：") : QStringLiteral("不在自选中：")) + named;
    if (add)
        codes.push_back(code);
    else
        codes.erase(at);
    Session::current().setWatchlist(codes);
    QString note = (add ? QStringLiteral("已加入自选：") : QStringLiteral("已删除自选：")) + named;
    const client::SettingsFolder settings = client::settingsFolder();
    if (!market::writeWatchlist(settings.dir(), codes)) {
        note += QStringLiteral("（未能保存）");
        platform::reportSaveFailed(window, QString::fromStdString(settings.pathOf(market::kWatchlistFile).string()));
    }
    return note;
}

} // namespace mainwnd
