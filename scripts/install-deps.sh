#!/bin/sh
# Installs the Debian 12 packages Skarvel needs: without arguments what building and playing the
# game needs; with --test also what its tests, fuzzing, benchmarks and the score server need.
# Does nothing when everything is there already. Installing needs root: run as root, or through
# sudo when it exists; otherwise it says what to run as root and fails.
# Nothing it installs is left running or enabled: services are kept from starting while apt-get
# runs, units the installation enabled are disabled again, and PostgreSQL creates no cluster (the
# tests start throwaway servers of their own).
set -eu

usage() {
  echo "usage: sh scripts/install-deps.sh [--test]" >&2
  exit 2
}
test_set=""
case "${1:-}" in
  "") ;;
  --test) test_set=yes ;;
  *) usage ;;
esac
[ $# -le 1 ] || usage

# The game: its build tools, SDL and its companions, cairo for the asset tool, the fonts; `file`
# for cpack's package of the build.
PACKAGES="build-essential cmake ninja-build pkg-config file
  libsdl2-dev libsdl2-ttf-dev libsdl2-mixer-dev libxmp-dev libcairo2-dev libzstd-dev
  fonts-adf-oldania fonts-gotico-antiqua"
# The tests, fuzzing, benchmarks and the score server.
TEST_PACKAGES="clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool x11-utils openbox wmctrl imagemagick sox
  python3 iproute2 dpkg-dev lintian desktop-file-utils appstream man-db
  libcpp-httplib-dev libboost1.81-dev libsqlite3-dev libpq-dev libssl-dev sqlite3
  postgresql nginx-light wrk curl chromium"
[ -z "$test_set" ] || PACKAGES="$PACKAGES $TEST_PACKAGES"

missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  if command -v sudo >/dev/null 2>&1; then
    exec sudo sh "$0" "$@"
  fi
  echo "Missing packages:$missing" >&2
  echo "Installing them needs root, and there is no sudo here. As root, run:" >&2
  echo "  sh $0${1:+ $1}" >&2
  echo "(or: apt-get install --no-install-recommends$missing)" >&2
  exit 1
fi

echo "Installing:$missing"
enabled_units() {
  find /etc/systemd/system -path '*.wants/*' -printf '%f\n' 2>/dev/null | sort -u
}
started_at_boot() {
  find /etc/rc2.d /etc/rc3.d /etc/rc4.d /etc/rc5.d -name 'S[0-9][0-9]*' -printf '%f\n' 2>/dev/null |
    sed 's/^S[0-9][0-9]//' | sort -u
}
work=$(mktemp -d)
made_policy=""
made_cluster_conf=""
made_cluster_dir=""
cleanup() {
  [ -z "$made_policy" ] || rm -f /usr/sbin/policy-rc.d
  [ -z "$made_cluster_conf" ] || rm -f "$made_cluster_conf"
  [ -z "$made_cluster_dir" ] || rmdir "$made_cluster_dir" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

enabled_units >"$work/units-before"
started_at_boot >"$work/rc-before"
# Keep the maintainer scripts from starting services (invoke-rc.d asks this script first).
if [ ! -e /usr/sbin/policy-rc.d ]; then
  printf '#!/bin/sh\n# Left by Skarvel'"'"'s install-deps.sh while apt-get runs.\nexit 101\n' >/usr/sbin/policy-rc.d
  chmod 755 /usr/sbin/policy-rc.d
  made_policy=yes
fi
# PostgreSQL's first installation makes and starts a "main" cluster unless told otherwise.
case " $missing " in
  *" postgresql "*)
    if [ ! -d /etc/postgresql-common/createcluster.d ]; then
      mkdir -p /etc/postgresql-common/createcluster.d
      made_cluster_dir=/etc/postgresql-common/createcluster.d
    fi
    made_cluster_conf=/etc/postgresql-common/createcluster.d/skarvel-no-main-cluster.conf
    echo "create_main_cluster = false" >"$made_cluster_conf"
    ;;
esac

apt-get update
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing

# Whatever the installation enabled to start at boot is disabled again.
enabled_units | comm -13 "$work/units-before" - >"$work/units-new"
while read -r unit; do
  echo "Disabling $unit, which the installation enabled"
  deb-systemd-helper disable "$unit" >/dev/null 2>&1 || true
  rm -f /etc/systemd/system/*.wants/"$unit"
done <"$work/units-new"
started_at_boot | comm -13 "$work/rc-before" - >"$work/rc-new"
while read -r script; do
  echo "Disabling /etc/init.d/$script, which the installation enabled"
  update-rc.d "$script" disable >/dev/null 2>&1 || true
done <"$work/rc-new"
