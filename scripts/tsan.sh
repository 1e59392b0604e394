#!/usr/bin/env bash
# The threaded parts under ThreadSanitizer: the pollers, the chart controls, the main window
# with its quote panel, and the trading windows whose timers ask off the GUI thread. Builds
# only their test programs into build-tsan/ and runs them; a report fails the test.
# Extra arguments go to ctest.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export VELMORA_SANITIZE=thread
programs=(poller_tests chart_gui_tests mainwnd_gui_tests
  trade_gui_OrderWindowsTest trade_gui_QuickOrderTest trade_gui_TimerRequestsTest)
export VELMORA_BUILD_TARGETS="${programs[*]}"
exec bash "$root/scripts/test.sh" \
  -R '^(PollerTest\.|chart_gui_tests$|mainwnd_gui_tests$|trade_gui_(OrderWindows|QuickOrder|TimerRequests)Test$)' "$@"
