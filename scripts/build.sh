#!/usr/bin/env bash
# Configures and builds into build/ (or $VELMORA_BUILD_DIR). Extra arguments name targets.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VELMORA_BUILD_DIR:-$root/build}"
type="${VELMORA_BUILD_TYPE:-Debug}"

bash "$root/scripts/install-deps.sh"

generator=()
if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  # VELMORA_CMAKE_ARGS: further cache settings for a new build folder (scripts/test.sh).
  # shellcheck disable=SC2086
  cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE="$type" ${VELMORA_CMAKE_ARGS:-} >/dev/null
fi
cmake --build "$build" --parallel "$(nproc)" ${1:+--target "$@"}
