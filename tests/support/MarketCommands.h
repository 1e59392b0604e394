#pragma once

#include <QAction>

#include "mainwnd/Transaction_Dlg.h"

namespace testsupport {

using MarketCommand = mainwnd::MarketActions::Command;

// Runs a command of the market window as its button, menu item or key would.
inline void run(Transaction_Dlg* market, MarketCommand command)
{
    market->actions()->action(command)->trigger();
}

} // namespace testsupport
