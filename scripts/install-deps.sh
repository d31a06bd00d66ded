#!/bin/sh
# Installs the Debian 12 packages that building, running and testing Skarvel need.
# Works as root or through sudo; does nothing when everything is already there.
set -eu

PACKAGES="build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libsdl2-dev libsdl2-ttf-dev libsdl2-mixer-dev libxmp-dev libcairo2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-adf-oldania fonts-gotico-antiqua xvfb xauth xdotool x11-utils openbox wmctrl imagemagick sox
  python3 iproute2 dpkg-dev file lintian desktop-file-utils appstream man-db
  libcpp-httplib-dev libsqlite3-dev libpq-dev libssl-dev sqlite3 postgresql chromium"

missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
echo "Installing:$missing"
$SUDO apt-get update
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
