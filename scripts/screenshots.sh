#!/usr/bin/env bash
# The README's screenshots, from the window gallery (tests/e2e/gallery), the one way windows
# are rendered to PNG: builds it as the tests are built, runs it against the substitute
# exchange in its own process on Qt's offscreen platform, and copies the README's views into
# docs/screenshots/ (or the folder given as the first argument), compressed with pngquant.
# The gallery's other renders (every window of the terminal) stay in a scratch folder whose
# name is printed, for review.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$(mkdir -p "${1:-$root/docs/screenshots}" && cd "${1:-$root/docs/screenshots}" && pwd)"
build="${VELMORA_BUILD_DIR:-$root/build}"

bash "$root/scripts/install-deps.sh" pngquant
VELMORA_BUILD_DIR="$build" bash "$root/scripts/build.sh" window_gallery >/dev/null

gallery="$(mktemp -d)"
QT_QPA_PLATFORM=offscreen "$build/tests/e2e/gallery/window_gallery" "$gallery" >/dev/null
for view in login overview timeshare kline indicators drawings formula finder watchlist trade orders notice; do
  pngquant --force --skip-if-larger --strip --quality 80-100 --output "$out/$view.png" -- "$gallery/$view.png" ||
    cp "$gallery/$view.png" "$out/$view.png"
  echo "$out/$view.png"
done
echo "every window: $gallery"
