#!/usr/bin/env bash
# The session ending under Wine (`wineboot --end-session`, which sends
# WM_QUERYENDSESSION and WM_ENDSESSION and then ends the process) keeps a
# change made in the window: the keyboard-layout switch of the setup page,
# ticked with held clicks and stored by Back, is in the storage file itself
# and no journal is left, so the exit save ran before the process ended.
#   wine_session_end_test.sh EXE INSPECTOR RESOURCES
set -uo pipefail
exe=$(realpath "$1"); inspector=$2; resources=$3
here=$(dirname "$0")
. "$here/../gui/xvfb.sh"
fail() { echo "FAIL: $*"; exit 1; }
[ -f "$exe" ] || fail "$exe not built"
find_wine || fail "no wine64"
tmp=$(mktemp -d)
app=""
cleanup() {
  kill $app 2>/dev/null
  [ -n "$wineserver" ] && WINEPREFIX="$tmp/prefix" timeout 10 "$wineserver" -k 2>/dev/null
  stop_xvfb
  rm -rf "$tmp"
}
trap cleanup EXIT
export WINEPREFIX="$tmp/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
data="$tmp/data/Trelvan Assistant"
storage="$data/Trelvan Assistant Storage 400"
journal="$storage.journal"
mkdir -p "$data"
cp "$resources"/*.rsc "$data/"
export TRELVAN_DATA_DIR="Z:${data//\//\\}"
free_loopback_ports
start_xvfb || exit 1
timeout 180 "$wine" wineboot --init >/dev/null 2>&1 || fail "wineboot --init"

"$wine" "$exe" &
app=$!
wine_window || fail "no window titled Trelvan Assistant"
journal_past() {  # BYTES: waits until a tick has committed a change past them
  for _ in $(seq 200); do
    [ "$(stat -c %s "$journal" 2>/dev/null || echo 0)" -gt "$1" ] && return 0
    sleep 0.1
  done
  return 1
}
click() {
  xdotool mousemove "$((left + $1))" "$((top + $2))" mousedown 1 sleep 0.12 mouseup 1 sleep 0.1
}
journal_past 28 || fail "the start's changes never reached the journal"
before=$(stat -c %s "$journal")
click 515 536   # Setup
click 305 175   # the keyboard-layout switch
click 400 536   # Back: stores the setup
journal_past "$before" || fail "the setup's change never reached the journal"
timeout 60 "$wine" wineboot --end-session >/dev/null 2>&1 || fail "wineboot --end-session"
wait_exit "$app" 30; app=""
[ "$EXIT_STATUS" != timeout ] || fail "the program outlived the session"
[ ! -e "$journal" ] || fail "the journal is left, so the exit save did not run"
"$inspector" "$storage" cat Setup400 | cmp -s - <(printf '\001\000') ||
  fail "the storage file does not hold the keyboard layout chosen"
echo "the session's end under Wine kept the change"
