#!/bin/sh
# The table page and the home page in headless chromium: they load, and stored texts that look like
# markup (a name "<b>x</b>" sent through the protocol by the game's own submission, and a longer
# "<script>alert(1)</script>" put straight into the database) are text in the DOM, never elements.
# Screenshots of both pages (desktop and phone widths) are left in $SKARVEL_SCREENSHOT_DIR if set.
#   pages_in_chromium_test.sh SKARVEL_SCORES SKARVEL_SEND_RESULT
set -eu

server_program=$1
send_result=$2
. "$(dirname "$0")/scores_lib.sh"

skip_missing chromium "$chromium_program"
if ! command -v sqlite3 >/dev/null; then
  echo "FAIL: the sqlite3 command is missing (sh scripts/install-deps.sh installs it)"
  exit 1
fi

work=$(mktemp -d)
cleanup() {
  for pid in $pids; do kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

fail() {
  echo "FAIL: $*"
  exit 1
}

start_scores "$work/server.log" --db "$work/scores.sqlite"
port=$scores_port
base="http://127.0.0.1:$port"

"$send_result" "127.0.0.1:$port" S "<b>x</b>" 4321 "Norway" >/dev/null ||
  fail "the game's submission of <b>x</b> was not accepted"
"$send_result" "127.0.0.1:$port" S "Ada" 1234 "Sverige" >/dev/null ||
  fail "the game's submission of Ada was not accepted"
# Both markup names are made proven here (no recording came with them), so the proven table and the
# home page show them too; Ada stays unproven.
sqlite3 "$work/scores.sqlite" \
  "INSERT INTO scores (name, country, score, submitted_at, status) VALUES ('<script>alert(1)</script>', '<img src=x onerror=alert(2)>', 999, strftime('%s','now'), 2);
   UPDATE scores SET status = 2 WHERE name = '<b>x</b>';"

check_page() {
  name=$1
  url=$2
  browse --dump-dom "$url" >"$work/$name.dom" || fail "chromium could not load $url"
  grep -q "World scores" "$work/$name.dom" || fail "$name: the page did not load ($url)"
  # The texts are there, as text ...
  grep -q "&lt;b&gt;x&lt;/b&gt;" "$work/$name.dom" || fail "$name: the name <b>x</b> is not shown as text"
  grep -q "&lt;script&gt;alert(1)&lt;/script&gt;" "$work/$name.dom" ||
    fail "$name: the stored <script> name is not shown as text"
  # ... and nothing of them became an element: no script, no b, no img with an onerror.
  if grep -qi "<script" "$work/$name.dom"; then fail "$name: the DOM holds a script element"; fi
  if grep -q "<b>" "$work/$name.dom"; then fail "$name: the DOM holds a b element"; fi
  if grep -qi "<img src=\"x\"\|onerror=\"" "$work/$name.dom"; then fail "$name: the DOM holds the stored img"; fi
  for size in 1000,1500 412,915; do
    shot="$work/$name-$(echo "$size" | tr , x).png"
    browse --screenshot="$shot" --window-size="$size" "$url" >/dev/null ||
      fail "chromium could not take a screenshot of $url"
    [ -s "$shot" ] || fail "$name: empty screenshot"
    if [ -n "${SKARVEL_SCREENSHOT_DIR:-}" ]; then
      mkdir -p "$SKARVEL_SCREENSHOT_DIR"
      cp "$shot" "$SKARVEL_SCREENSHOT_DIR/"
    fi
  done
  echo "ok: $name page ($url)"
}

check_page table "$base/cgi/version.pl?prg=Skarvel&show&type=0"
check_page all "$base/cgi/version.pl?prg=Skarvel&show&type=0&all"
check_page home "$base/"
# Proven results by default; all on request, the unproven one marked in words, each a link away.
if grep -q ">Ada<" "$work/table.dom"; then fail "the proven table shows the unproven Ada"; fi
grep -q "Show all results</a>" "$work/table.dom" || fail "the proven table lacks its switch"
grep -q '<td class="name">Ada</td>.*<td class="proof unproven">unproven</td>' "$work/all.dom" ||
  fail "the full table does not mark Ada unproven"
grep -q "Show proven results only</a>" "$work/all.dom" || fail "the full table lacks its switch"
# The country filter: only Sverige's result.
browse --dump-dom "$base/cgi/version.pl?prg=Skarvel&show&type=0&country=Sverige&all" >"$work/filter.dom"
grep -q ">Ada<" "$work/filter.dom" || fail "the country filter lost Ada"
if grep -q "&lt;b&gt;x" "$work/filter.dom"; then fail "the country filter let another country in"; fi

echo "3 passed, 0 failed"
