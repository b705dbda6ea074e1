#!/usr/bin/env bash
# The main page in the real Linux window under Xvfb:
#   0. a start killed while it runs leaves the page files in the data folder,
#      and the next start shows the main page from them;
#   1. with the built page files in the data folder, the window shows the main
#      page exactly as the headless runner draws it; a click on the exit
#      control ends the program with status 0, and the data folder then holds
#      a 134,217,728-byte storage file that the inspector accepts, while the
#      .rsc files are gone (they go only once a save holds them). The start
#      after the killed one already saves what it recovers, so the exit save
#      itself is the session end test's to prove;
#   2. a second start, with no .rsc file left, shows the same main page;
#   3. a second copy started while the first runs shows the message, ends by
#      itself, imports nothing and leaves the storage file unchanged;
#   4. the first copy, ended with the exit control, saves again.
set -uo pipefail
program=$1; headless=$2; inspector=$3; resources=$4; out=$5
. "$(dirname "$0")/xvfb.sh"
use_data_folder "$resources" || exit 1
# Ports of its own, the sample catalogue served on one: another program on
# the default ones, or no server, would be said mid-test.
use_loopback_ports
start_xvfb || exit 1
headless_shot "$headless" "$resources" "$out/main_page_expected.png" || fail "headless shot"
exit_control "$headless" "$resources"

# start NAME: starts the program and waits until its window shows the main page.
start() { start_showing "main_page_$1" "$out/main_page_expected.png" "$program"; }
# leave NAME: clicks the exit control and checks the end and the storage file.
leave() {
  leave_by_exit 10
  [ "$(stat -c %s "$storage" 2>/dev/null)" = 134217728 ] || fail "$1: storage file missing or of the wrong size"
  "$inspector" "$storage" check || fail "$1: the storage file does not pass the check"
}

# A start killed while it runs saves nothing, so the page files it took in
# must still wait in the folder: the next start shows the main page again.
start killed
kill -KILL "$app"; wait "$app" 2>/dev/null; app=""
[ ! -e "$storage" ] || fail "a storage file without an exit save"
for rsc in "$resources"/*.rsc; do
  [ -e "$data/$(basename "$rsc")" ] || fail "$(basename "$rsc") gone after a kill"
done

start first
leave first
for rsc in "$resources"/*.rsc; do
  [ ! -e "$data/$(basename "$rsc")" ] || fail "$(basename "$rsc") left in the data folder"
done

start second
before=$(sha1sum "$storage")
cp "$resources/TA Common.rsc" "$data/Late.rsc"
"$program" &
other=$!
app="$app $other"  # ended at exit too
# The message box is a process of its own, started by the second copy, and
# xdotool's name search misses it; the window tree names it.
for _ in $(seq 40); do [ -n "$(boxes)" ] && break; sleep 0.5; done
[ -n "$(boxes)" ] || fail "the second copy shows no message"
close_window "$(boxes | head -n 1)"
wait_exit "$other" 10
app=${app%% *}
[ "$EXIT_STATUS" = 0 ] || fail "second copy exit status '$EXIT_STATUS'"
[ "$(sha1sum "$storage")" = "$before" ] || fail "the second copy changed the storage file"
[ -e "$data/Late.rsc" ] || fail "the second copy took in a resource file"
leave second

echo "main page test passed"
