#!/bin/sh
# The installed game: `cmake --install --strip` into a fresh prefix (not the one the build was
# configured with), started by an ordinary user from another folder. It finds its files in the prefix's
# share/skarvel, draws the menu, and keeps config.dat in $XDG_DATA_HOME/skarvel, made on first
# start, with the player's change; nothing is written beside the program or in the working
# folder. A copy of the build folder, started from elsewhere, still keeps config.dat beside itself.
# Usage: installed_game.sh BUILD_DIR GAME_DIR
. "$(dirname "$0")/lib.sh"
build=$1
game_dir=$2
app_id=io.github.skarvel.Skarvel

E2E_WORK=$(mktemp -d)
chmod 755 "$E2E_WORK"
prefix="$E2E_WORK/opt/skarvel games"  # a space, too: nothing may split the path
# The game's two components (the program, its data); the build may hold other programs too.
for component in game data; do
  cmake --install "$build" --prefix "$prefix" --component $component --strip >>"$E2E_WORK/install.log" ||
    fail "cmake --install failed: $(cat "$E2E_WORK/install.log")"
done
file -L "$prefix/bin/skarvel" | grep -q ', stripped' || fail "cmake --install --strip kept the symbols"
configured=$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")
[ "$configured" != "$prefix" ] || fail "the test prefix is the configured one"

for file in bin/skarvel share/skarvel/data/menu.dxg share/skarvel/data/gamegraphic.dxg \
  share/skarvel/data/icon.bmp share/skarvel/data/fonts/OldaniaADFStd-Regular.otf share/skarvel/data/fonts/Jessen-Mittel14.otf \
  share/skarvel/sound/gamesound.dxw share/skarvel/sound/1.xm share/skarvel/sound/2.xm \
  "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml" \
  share/man/man6/skarvel.6.gz share/doc/skarvel/copyright; do
  [ -f "$prefix/$file" ] || fail "not installed: $file"
done
for size in 16 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
  [ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x${size}" ] ||
    fail "no ${size}x${size} icon: $icon"
done

desktop-file-validate "$prefix/share/applications/$app_id.desktop" ||
  fail "the desktop entry is not valid"
appstreamcli validate --no-net --explain "$prefix/share/metainfo/$app_id.metainfo.xml" \
  >"$E2E_WORK/appstream.log" 2>&1 || fail "the metainfo is not valid: $(cat "$E2E_WORK/appstream.log")"
grep -E '^(E|W):' "$E2E_WORK/appstream.log" && fail "the metainfo has errors or warnings"

e2e_start_x

# The installed game, started from an unrelated folder.
elsewhere="$E2E_WORK/elsewhere"
data_home="$E2E_WORK/xdg"
mkdir -p "$elsewhere" "$data_home"
e2e_start_as_player "$prefix/bin/skarvel" "$elsewhere" "$data_home"
e2e_running || fail "the installed game ended at start: $(cat "$E2E_WORK/stderr.log")"
config="$data_home/skarvel/config.dat"
e2e_wait_file "$config"
[ "$(stat -c %a "$data_home/skarvel")" = "700" ] || fail "the settings folder is not private"
sleep 1
e2e_assert_drawn "$E2E_WORK/installed-menu.png"
# The window shows the game's icon on the title bar and in the task list, not the default one.
xprop -id "$E2E_WINDOW" _NET_WM_ICON | grep -q 'Icon (64 x 64)' || fail "the window has no icon"
e2e_switch_sounds_off "$config"
[ "$(stat -c %s "$config")" = "158" ] || fail "config.dat is not 158 bytes"
e2e_quit
[ -e "$prefix/bin/config.dat" ] && fail "the installed game wrote beside itself"
[ -z "$(ls -A "$elsewhere")" ] || fail "the game wrote into the working folder: $(ls -A "$elsewhere")"
[ -s "$E2E_WORK/stderr.log" ] && fail "the installed game complained: $(cat "$E2E_WORK/stderr.log")"

# A copy of the build folder (as a player may carry the game around), started from elsewhere.
portable="$E2E_WORK/portable"
mkdir -p "$portable"
cp -R "$game_dir"/. "$portable"/
rm -f "$portable/config.dat"
data_home2="$E2E_WORK/xdg2"
mkdir -p "$data_home2"
if [ "$(id -u)" -eq 0 ]; then chown -R nobody:nogroup "$portable"; fi
e2e_start_as_player "$portable/skarvel" "$elsewhere" "$data_home2"
e2e_wait_file "$portable/config.dat"
e2e_switch_sounds_off "$portable/config.dat"
e2e_quit
[ -e "$data_home2/skarvel" ] && fail "the portable game wrote into the user's data folder"
[ -z "$(ls -A "$elsewhere")" ] || fail "the game wrote into the working folder"
echo "PASS"
