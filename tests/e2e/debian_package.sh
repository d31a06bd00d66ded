#!/bin/sh
# The Debian package: `cpack -G DEB` makes it, lintian finds no error in it, its dependencies come
# from the program's libraries (and the font's package), apt-get installs it into /usr, the installed game starts for an
# ordinary user and draws its menu, its desktop entry and metainfo pass the validators, and
# apt-get remove takes every file away again. Needs root (it really installs into /usr); it is
# skipped otherwise, and when a package named skarvel is installed already (it is not ours to
# remove). Whatever happens, the package this test installed is removed at the end.
# Usage: debian_package.sh BUILD_DIR
. "$(dirname "$0")/lib.sh"
build=$1
app_id=io.github.skarvel.Skarvel

skip() {
  echo "SKIP: $*"
  exit 77
}
[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
dpkg-query -W -f='${Status}' skarvel 2>/dev/null | grep -q "install ok installed" &&
  skip "a skarvel package is installed already"
# One package test on this machine at a time (another build tree may run its own).
exec 9>/run/lock/skarvel-package-test.lock
flock -w 600 9 || skip "another package test holds the lock"

E2E_WORK=$(mktemp -d)
chmod 755 "$E2E_WORK"
installed_by_us=""
apt_get() {
  DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y "$@"
}
remove_package() {
  if [ -n "$installed_by_us" ]; then
    apt_get remove skarvel >"$E2E_WORK/remove.log" 2>&1 || dpkg --remove skarvel >/dev/null 2>&1 || true
    installed_by_us=""
  fi
}
trap 'remove_package; e2e_cleanup' EXIT INT TERM

(cd "$E2E_WORK" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$E2E_WORK/out") \
  >"$E2E_WORK/cpack.log" 2>&1 || fail "cpack failed: $(cat "$E2E_WORK/cpack.log")"
deb=$(ls "$E2E_WORK"/out/skarvel_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no skarvel_*.deb: $(cat "$E2E_WORK/cpack.log")"
echo "built $(basename "$deb")"
# Removing the package takes its files away: none of them may be someone else's already.
dpkg-deb -c "$deb" | awk '{ print substr($6, 2) }' | grep -v '/$' >"$E2E_WORK/contents"
while read -r path; do
  if [ -e "$path" ] || [ -L "$path" ]; then skip "$path exists already"; fi
done <"$E2E_WORK/contents"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for library in libsdl2 libsdl2-ttf libsdl2-mixer libxmp libc6 libstdc\\+\\+ fonts-adf-oldania fonts-gotico-antiqua; do
  echo "$depends" | grep -Eq "(^|, )$library[-0-9.]*( |,|$)" || fail "no dependency on $library"
done
echo "$depends" | grep -q server && fail "the game's package depends on a server"
[ "$(dpkg-deb -f "$deb" Section)" = "games" ] || fail "the package is not in section games"

lintian --tag-display-limit 0 "$deb" >"$E2E_WORK/lintian.log" 2>&1 || true
cat "$E2E_WORK/lintian.log"
grep -q '^E:' "$E2E_WORK/lintian.log" && fail "lintian found errors"

# apt-get, as a player would, so that the dependencies are resolved and fetched if missing.
installed_by_us=yes
apt_get install --no-install-recommends "$deb" >"$E2E_WORK/install.log" 2>&1 ||
  fail "apt-get install failed: $(cat "$E2E_WORK/install.log")"
dpkg -L skarvel >"$E2E_WORK/files"
# Debian keeps the programs of games in /usr/games.
[ -x /usr/games/skarvel ] || fail "no /usr/games/skarvel"
[ -e /usr/bin/skarvel ] && fail "the program is in /usr/bin as well"
for font in OldaniaADFStd-Regular.otf Jessen-Mittel14.otf; do
  [ -r "/usr/share/skarvel/data/fonts/$font" ] || fail "the link to $font is broken"
done
desktop-file-validate "/usr/share/applications/$app_id.desktop" || fail "the desktop entry is not valid"
appstreamcli validate --no-net "/usr/share/metainfo/$app_id.metainfo.xml" >"$E2E_WORK/appstream.log" 2>&1 ||
  fail "the metainfo is not valid: $(cat "$E2E_WORK/appstream.log")"
grep -E '^(E|W):' "$E2E_WORK/appstream.log" && fail "the metainfo has errors or warnings"
man -l /usr/share/man/man6/skarvel.6.gz >/dev/null 2>&1 || fail "the manual page cannot be read"

e2e_start_x
elsewhere="$E2E_WORK/elsewhere"
data_home="$E2E_WORK/xdg"
mkdir -p "$elsewhere" "$data_home"
e2e_start_as_player /usr/games/skarvel "$elsewhere" "$data_home"
e2e_wait_file "$data_home/skarvel/config.dat"
sleep 1
e2e_assert_drawn "$E2E_WORK/packaged-menu.png"
e2e_quit

apt_get remove skarvel >"$E2E_WORK/remove.log" 2>&1 || fail "apt-get remove failed: $(cat "$E2E_WORK/remove.log")"
installed_by_us=""
dpkg-query -W -f='${Status}' skarvel 2>/dev/null | grep -q "install ok installed" &&
  fail "skarvel is still installed"
while read -r path; do
  [ -f "$path" ] && fail "left behind: $path"
done <"$E2E_WORK/files"
[ -e /usr/share/skarvel ] && fail "left behind: /usr/share/skarvel"
echo "PASS"
