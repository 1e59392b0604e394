#!/usr/bin/env bash
# Builds the terminal and the substitute exchange (optimised, nothing else) into build-run/,
# starts the exchange on loopback and runs the terminal against it. The terminal's settings
# live in a working folder seeded from data/ (by default ~/.local/share/velmora-run), apart
# from those of an installed terminal.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VELMORA_RUN_BUILD_DIR:-$root/build-run}"
work="${VELMORA_WORKDIR:-${XDG_DATA_HOME:-$HOME/.local/share}/velmora-run}"

# Its own folder and build type, so it never waits for the tests that scripts/test.sh builds.
VELMORA_BUILD_DIR="$build" VELMORA_BUILD_TYPE=RelWithDebInfo \
  VELMORA_CMAKE_ARGS="-DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF" \
  bash "$root/scripts/build.sh" velmora velmora-exchange

exchange="$(find "$build" -type f -name velmora-exchange -perm -u+x | head -n 1)"
terminal="$(find "$build" -type f -name velmora -perm -u+x | head -n 1)"

mkdir -p "$work"
for f in "$root"/data/*; do
  [ -e "$f" ] || continue
  [ -e "$work/$(basename "$f")" ] || cp "$f" "$work/"
done

pid=""
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null || true; }
trap cleanup EXIT
if [ -n "$exchange" ]; then
  "$exchange" --session-clock &
  pid=$!
  echo "velmora-exchange running (pid $pid) on 127.0.0.1 and 127.0.0.2, ports 8055 and 8041"
else
  echo "velmora-exchange is not built yet"
fi

if [ -n "$terminal" ]; then
  "$terminal" --workdir "$work" "$@"
elif [ -n "$pid" ]; then
  echo "The terminal is not built yet; the exchange runs until you press Ctrl-C."
  wait "$pid"
else
  echo "Built the client core; neither program exists yet."
fi
