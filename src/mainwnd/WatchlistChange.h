#pragma once

#include <QString>

class QWidget;

namespace mainwnd {

// Adds `code` to the trader's watchlist or removes it, keeps the list in the session and
// its file, and returns the answer the status band gives. A file that cannot be written is
// reported over `window`; the list holds for the run.
QString changeWatchlist(QWidget* window, int code, bool add);

} // namespace mainwnd
