#!/usr/bin/env bash
# Installs the build into a scratch root (DESTDIR) and checks what a customer's machine
# would get: the files, the launcher entry and the metainfo as the desktop tools read them,
# an installed terminal that finds its own shipped files, and the Debian package.
# Usage: install_check.sh BUILD_DIR
set -euo pipefail
build="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr >/dev/null
root="$scratch/root/usr"

for f in bin/velmora bin/velmora-exchange; do
  [ -x "$root/$f" ] || fail "$f is not an installed program"
done
for f in share/velmora/listtitle.txt share/velmora/currentlisttitle.txt \
         share/applications/velmora.desktop share/metainfo/com.velmora.terminal.metainfo.xml \
         share/icons/hicolor/scalable/apps/velmora.svg; do
  [ -s "$root/$f" ] || fail "$f is missing"
done
for size in 16 22 24 32 48 64 128 256 512; do
  png="$root/share/icons/hicolor/${size}x${size}/apps/velmora.png"
  file "$png" | grep -q "PNG image data, $size x $size" || fail "icon ${size}x${size}: $(file -b "$png" 2>&1)"
done

desktop-file-validate "$root/share/applications/velmora.desktop" || fail "desktop-file-validate"
grep -qx 'Name=Velmora' "$root/share/applications/velmora.desktop" || fail "the entry is not named Velmora"
grep -q '^Name\[zh_CN\]=' "$root/share/applications/velmora.desktop" || fail "the entry has no Chinese name"
grep -qx 'Categories=Office;Finance;' "$root/share/applications/velmora.desktop" || fail "categories"
appstreamcli validate --no-net "$root/share/metainfo/com.velmora.terminal.metainfo.xml" >"$scratch/as.log" 2>&1 \
  || { cat "$scratch/as.log"; fail "appstreamcli validate"; }

"$root/bin/velmora" --version | grep -qx 'velmora [0-9.]*' || fail "velmora --version"
"$root/bin/velmora-exchange" --version | grep -qx 'velmora-exchange [0-9.]*' || fail "velmora-exchange --version"

# A first start from an unrelated folder seeds the per-user configuration folder from the
# installed files (found beside the program, not in the source tree).
home="$scratch/home"
mkdir -p "$home/run"
chmod 700 "$home/run"
# exec: the pid is the terminal's own, so the kill below ends it and not just a subshell.
( cd / && exec env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/run" \
    QT_QPA_PLATFORM=offscreen "$root/bin/velmora" >"$scratch/velmora.log" 2>&1 ) &
pid=$!
config="$home/config/Velmora/velmora"
for _ in $(seq 1 300); do
  [ -s "$config/currentlisttitle.txt" ] && [ -s "$config/listtitle.txt" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
cmp -s "$config/currentlisttitle.txt" "$root/share/velmora/currentlisttitle.txt" \
  || { cat "$scratch/velmora.log"; fail "the configuration folder was not seeded from the installed files"; }

# The Debian package: dependencies computed from the programs' libraries, the same files.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/pkg" -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip \
  >"$scratch/cpack.log" 2>&1 || { cat "$scratch/cpack.log"; fail "cpack -G DEB"; }
deb="$(find "$scratch/pkg" -maxdepth 1 -name 'velmora_*.deb' | head -n 1)"
if [ -n "$deb" ]; then
  depends="$(dpkg-deb -f "$deb" Depends)"
  for lib in libqt6widgets6 libqt6gui6 libcurl4 libjsoncpp25 libssl3 libsqlite3-0 libc6 qt6-qpa-plugins; do
    grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
  done
  dpkg-deb -c "$deb" >"$scratch/contents"
  for f in ./usr/bin/velmora ./usr/bin/velmora-exchange ./usr/share/applications/velmora.desktop \
           ./usr/share/velmora/currentlisttitle.txt ./usr/share/icons/hicolor/48x48/apps/velmora.png \
           ./usr/share/metainfo/com.velmora.terminal.metainfo.xml; do
    grep -q " $f\$" "$scratch/contents" || fail "the package lacks $f"
  done
else
  fail "no velmora_*.deb was made"
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "install and package checks passed"
