#!/bin/sh
# The Debian packages: `cpack -G DEB` makes skarvel (the program, for this architecture) and
# skarvel-data (its files, Architecture: all), the program depending on its data at the same
# version; lintian (pedantic) finds neither error nor warning in them, nor a missing hardening; the
# program's dependencies come from its libraries, the data's from the fonts' packages; apt-get
# installs both into /usr, the installed program is stripped and hardened, the game starts for an
# ordinary user and draws its menu, its desktop entry and metainfo pass the validators, and
# apt-get remove takes every file of both away again. Needs root (it really installs into /usr);
# it is skipped otherwise, and when a package of either name is installed already (it is not ours
# to remove). Whatever happens, the packages this test installed are removed at the end.
# Usage: debian_package.sh BUILD_DIR
. "$(dirname "$0")/lib.sh"
build=$1
app_id=io.github.skarvel.Skarvel
packages="skarvel skarvel-data"

skip() {
  echo "SKIP: $*"
  exit 77
}
installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}
[ "$(id -u)" -eq 0 ] || skip "installing a package needs root"
for package in $packages; do
  installed "$package" && skip "a $package package is installed already"
done
# One package test on this machine at a time (another build tree may run its own).
exec 9>/run/lock/skarvel-package-test.lock
flock -w 600 9 || skip "another package test holds the lock"

E2E_WORK=$(mktemp -d)
chmod 755 "$E2E_WORK"
installed_by_us=""
apt_get() {
  DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y "$@"
}
remove_packages() {
  if [ -n "$installed_by_us" ]; then
    # shellcheck disable=SC2086
    apt_get remove $packages >"$E2E_WORK/remove.log" 2>&1 || dpkg --remove $packages >/dev/null 2>&1 || true
    installed_by_us=""
  fi
}
trap 'remove_packages; e2e_cleanup' EXIT INT TERM

(cd "$E2E_WORK" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$E2E_WORK/out") \
  >"$E2E_WORK/cpack.log" 2>&1 || fail "cpack failed: $(cat "$E2E_WORK/cpack.log")"
deb=$(ls "$E2E_WORK"/out/skarvel_*.deb 2>/dev/null | head -n 1)
data_deb=$(ls "$E2E_WORK"/out/skarvel-data_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no skarvel_*.deb: $(cat "$E2E_WORK/cpack.log")"
[ -n "$data_deb" ] || fail "no skarvel-data_*.deb: $(cat "$E2E_WORK/cpack.log")"
echo "built $(basename "$deb") $(basename "$data_deb")"
dpkg-deb -c "$deb" >"$E2E_WORK/skarvel.list"
dpkg-deb -c "$data_deb" >"$E2E_WORK/skarvel-data.list"
# Removing the packages takes their files away: none of them may be someone else's already.
cat "$E2E_WORK/skarvel.list" "$E2E_WORK/skarvel-data.list" | awk '{ print substr($6, 2) }' |
  grep -v '/$' >"$E2E_WORK/contents"
while read -r path; do
  if [ -e "$path" ] || [ -L "$path" ]; then skip "$path exists already"; fi
done <"$E2E_WORK/contents"

# The program and its menu entry in the one, every file of the game in the other.
grep -q ' \./usr/games/skarvel$' "$E2E_WORK/skarvel.list" || fail "the program is not in skarvel"
grep -q '/usr/share/skarvel/' "$E2E_WORK/skarvel.list" && fail "skarvel holds the game's data"
grep -q '/usr/games/' "$E2E_WORK/skarvel-data.list" && fail "skarvel-data holds a program"
for file in data/menu.dxg data/gamegraphic.dxg data/icon.bmp sound/gamesound.dxw sound/1.xm sound/2.xm; do
  grep -q " \./usr/share/skarvel/$file\$" "$E2E_WORK/skarvel-data.list" || fail "$file is not in skarvel-data"
done
version=$(dpkg-deb -f "$deb" Version)
[ "$(dpkg-deb -f "$data_deb" Version)" = "$version" ] || fail "the packages' versions differ"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ] ||
  fail "skarvel is not for $(dpkg --print-architecture)"
[ "$(dpkg-deb -f "$data_deb" Architecture)" = "all" ] || fail "skarvel-data is not Architecture: all"

depends=$(dpkg-deb -f "$deb" Depends)
echo "skarvel Depends: $depends"
for library in libsdl2 libsdl2-ttf libsdl2-mixer libxmp libc6 libstdc\\+\\+; do
  echo "$depends" | grep -Eq "(^|, )$library[-0-9.]*( |,|$)" || fail "no dependency on $library"
done
echo "$depends" | grep -Eq "(^|, )skarvel-data \(= $version\)(,|$)" ||
  fail "skarvel does not depend on skarvel-data (= $version)"
echo "$depends" | grep -q server && fail "the game's package depends on a server"
data_depends=$(dpkg-deb -f "$data_deb" Depends)
echo "skarvel-data Depends: $data_depends"
for font in fonts-adf-oldania fonts-gotico-antiqua; do
  echo "$data_depends" | grep -Eq "(^|, )$font( |,|$)" || fail "skarvel-data does not depend on $font"
done
for package in "$deb" "$data_deb"; do
  [ "$(dpkg-deb -f "$package" Section)" = "games" ] || fail "$(basename "$package") is not in section games"
done

lintian --pedantic --display-info --tag-display-limit 0 "$deb" "$data_deb" >"$E2E_WORK/lintian.log" 2>&1 || true
cat "$E2E_WORK/lintian.log"
grep -Eq '^(E|W):' "$E2E_WORK/lintian.log" && fail "lintian found errors or warnings"
grep -q ' hardening-' "$E2E_WORK/lintian.log" && fail "lintian finds the program not hardened"

# apt-get, as a player would, so that the dependencies are resolved and fetched if missing.
installed_by_us=yes
apt_get install --no-install-recommends "$deb" "$data_deb" >"$E2E_WORK/install.log" 2>&1 ||
  fail "apt-get install failed: $(cat "$E2E_WORK/install.log")"
for package in $packages; do
  dpkg -L "$package" >>"$E2E_WORK/files"
done
# Debian keeps the programs of games in /usr/games.
[ -x /usr/games/skarvel ] || fail "no /usr/games/skarvel"
[ -e /usr/bin/skarvel ] && fail "the program is in /usr/bin as well"
# Stripped, and built with Debian's hardening: PIE, read-only relocations bound at start, fortified
# libc calls.
file -L /usr/games/skarvel | grep -q ', stripped' || fail "the program is not stripped"
readelf -d /usr/games/skarvel | grep -q 'FLAGS_1.*NOW.*PIE' || fail "the program is not PIE bound at start"
readelf -lW /usr/games/skarvel | grep -q GNU_RELRO || fail "the program has no read-only relocations"
readelf --dyn-syms -W /usr/games/skarvel | grep -q '__[a-z]*_chk@' || fail "no fortified calls in the program"
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

# shellcheck disable=SC2086
apt_get remove $packages >"$E2E_WORK/remove.log" 2>&1 || fail "apt-get remove failed: $(cat "$E2E_WORK/remove.log")"
installed_by_us=""
for package in $packages; do
  installed "$package" && fail "$package is still installed"
done
while read -r path; do
  [ -f "$path" ] && fail "left behind: $path"
done <"$E2E_WORK/files"
[ -e /usr/share/skarvel ] && fail "left behind: /usr/share/skarvel"
echo "PASS"
