#!/usr/bin/env bash
# Unsaved editor work in the real window: closing the window with a button
# added asks "Project Not Saved! Save now?", and Yes saves, then ends. A
# kill -9 after another button keeps a draft; the next start offers it,
# Yes reopens the page editor with it, and it is saved on the next close.
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
[ "$(buttons)" = 0 ] || fail "the made project has buttons"

start() {
  "$program" &
  app=$!
  find_window "$app" || fail "no window"
  sleep 1
}
open_project_and_add_button() {
  click 319 194  # the storage projects list
  click 319 225  # Open Manager
  click 313 122  # Edit on the first row: the page editor
  click 80 147   # Add Button
}
yes=(310 320)
# close_saving N: the close button asks, Yes saves N buttons and ends the run.
close_saving() {
  begin
  close_window "$window"
  settle "asking before the close"
  press_like_a_hand "${yes[@]}"
  wait_exit "$app" 30; app=""
  [ "$EXIT_STATUS" = 0 ] || fail "Yes ended with status $EXIT_STATUS"
  [ "$(buttons)" = "$1" ] || fail "Yes saved $(buttons) buttons, not $1"
  [ ! -e "$draft" ] || fail "a saved project left a draft"
}

start
open_project_and_add_button
close_saving 1

start
open_project_and_add_button
for _ in $(seq 50); do [ -e "$draft" ] && break; sleep 0.1; done
[ -e "$draft" ] || fail "no draft within 5 s of the change"
kill -9 "$app"; wait "$app" 2>/dev/null; app=""
start
click "${yes[@]}"  # the draft's question
close_saving 2
echo "closing asks; a draft comes back after kill -9"
