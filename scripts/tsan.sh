#!/usr/bin/env bash
# The threaded tests (ctest label `threaded`: the pollers, the chart controls, the main window
# with its quote panel, and the trading windows whose timers ask off the GUI thread) under
# ThreadSanitizer. Builds only their programs (target threaded_tests) into build-tsan/ and
# runs them; a report fails the test. Extra arguments go to ctest.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export VELMORA_SANITIZE=thread
export VELMORA_BUILD_TARGETS=threaded_tests
exec bash "$root/scripts/test.sh" -L threaded "$@"
