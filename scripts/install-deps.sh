#!/usr/bin/env bash
# Installs every build and test dependency from Debian's archive, and any packages named
# as arguments (a script's own extras). Idempotent: when everything is present it only
# checks, quietly.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev
  libjsoncpp-dev libcurl4-openssl-dev libssl-dev libcpp-httplib-dev
  zlib1g-dev libsqlite3-dev libicu-dev libgtest-dev libgmock-dev libbenchmark-dev
  fonts-wqy-microhei fonts-liberation2 xvfb xauth
  librsvg2-bin desktop-file-utils appstream dpkg-dev file locales dbus-daemon
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
