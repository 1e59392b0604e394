#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole suite (unit, gui, e2e).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VELMORA_BUILD_DIR:-$root/build}"

bash "$root/scripts/build.sh"
# GUI tests draw on Qt's offscreen platform: no display needed.
export QT_QPA_PLATFORM=offscreen
cd "$build"
ctest --output-on-failure --parallel "$(nproc)" --timeout 300 "$@"
