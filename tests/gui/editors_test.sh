#!/usr/bin/env bash
# Unsaved editor work in the real window: a kill -9 after a button is added
# keeps a draft; the next start offers it and Yes reopens the page editor
# with it. Closing the window then asks "Project Not Saved! Save now?", and
# Yes saves, then ends. (The headless runner's editors_ask script closes a
# project changed in the same run.)
#   editors_test.sh PROGRAM HEADLESS INSPECTOR RESOURCES OUT
set -uo pipefail
program=$1; headless=$2; inspector=$3; resources=$4; out=$5
. "$(dirname "$0")/xvfb.sh"
use_data_folder "$resources" || exit 1
use_loopback_ports
start_xvfb || exit 1
draft="$data/Trelvan Assistant Draft"

# The storage holds the project "Yard~", made by the headless runner.
printf 'tick 3\npage project Yard~ ZR-5\nclose\n' >"$out/editors_setup.run"
"$headless" --output "$out" "$out/editors_setup.run" >/dev/null || fail "no project made"
buttons() { "$inspector" "$storage" project 'Yard~' | sed -n 's/^buttons //p'; }

start() {
  start_window editors "$program"
  sleep 1
}
start
click 319 194  # the storage projects list
click 319 225  # Open Manager
click 313 122  # Edit on the first row: the page editor
click 80 147   # Add Button
for _ in $(seq 50); do [ -e "$draft" ] && break; sleep 0.1; done
[ -e "$draft" ] || fail "no draft within 5 s of the change"
kill -9 "$app"; wait "$app" 2>/dev/null; app=""
start
yes=(310 320)
click "${yes[@]}"  # the draft's question
# the close button asks; Yes saves the button and ends the run
begin
close_window "$window"
settle "asking before the close"
press_like_a_hand "${yes[@]}"
wait_exit "$app" 30; app=""
[ "$EXIT_STATUS" = 0 ] || fail "Yes ended with status $EXIT_STATUS"
[ "$(buttons)" = 1 ] || fail "Yes saved $(buttons) buttons, not 1"
[ ! -e "$draft" ] || fail "a saved project left a draft"
echo "a draft comes back after kill -9; closing asks"
