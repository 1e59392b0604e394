#!/usr/bin/env bash
# Configures and builds into build/ (or $VELMORA_BUILD_DIR). Extra arguments name targets;
# $VELMORA_CMAKE_ARGS adds options to a first configure.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VELMORA_BUILD_DIR:-$root/build}"
type="${VELMORA_BUILD_TYPE:-Debug}"

bash "$root/scripts/install-deps.sh"

generator=()
if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  read -r -a extra <<<"${VELMORA_CMAKE_ARGS:-}"
  cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE="$type" "${extra[@]}" >/dev/null
fi
cmake --build "$build" --parallel "$(nproc)" ${1:+--target "$@"}
