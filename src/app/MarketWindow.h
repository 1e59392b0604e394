#pragma once

#include <functional>

class QWidget;
class CVelmoraDlg;

namespace app {

// How the login window makes the market window. The window is owned by the login
// window (created as its child top-level window) and lives until the program ends.
// The market window's own module installs its factory at start-up; until then the
// login's own tests get an empty window.
using MarketWindowFactory = std::function<QWidget*(CVelmoraDlg* owner)>;
void setMarketWindowFactory(MarketWindowFactory factory);
QWidget* createMarketWindow(CVelmoraDlg* owner);

} // namespace app
