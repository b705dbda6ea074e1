#!/usr/bin/env bash
# Unsaved editor work in the real window: closing the window with a button
# added asks "Project Not Saved! Save now?", and Yes saves, then ends. A
# kill -9 after another button keeps a draft; the next start offers it,
# Yes reopens the page editor with it, and it is saved on the next close.
#   editors_test.sh PROGRAM HEADLESS INSPECTOR RESOURCES OUT
set -uo pipefail
program=$1; headless=$2; inspector=$3; resources=$4; out=$5
here=$(dirname "$0")
. "$here/xvfb.sh"
mkdir -p "$out"
use_data_folder "$resources" || exit 1
use_loopback_ports
start_xvfb || exit 1
draft="$data/Trelvan Assistant Draft"
fail() { echo "FAIL: $*"; exit 1; }

# The storage holds the project "Yard~", made by the headless runner.
printf 'tick 3\npage project Yard~ ZR-5\nclose\n' >"$out/editors_setup.run"
"$headless" --output "$out" "$out/editors_setup.run" >/dev/null || fail "no project made"
buttons() { "$inspector" "$storage" project 'Yard~' | sed -n 's/^buttons //p'; }
[ "$(buttons)" = 0 ] || fail "the made project has buttons"

capture() { import -window "$window" "$1" 2>/dev/null; }
# settle: the window changed since `begin` and holds still.
begin() { capture "$out/editors_before.png"; }
settle() {
  local previous="" current i
  for i in $(seq 60); do
    sleep 0.2
    kill -0 "$app" 2>/dev/null || fail "the program ended instead of: $*"
    current="$out/editors_now_$((i % 2)).png"
    capture "$current"
    if [ "$(compare -metric AE "$current" "$out/editors_before.png" null: 2>&1)" != 0 ] &&
       [ -n "$previous" ] && [ "$(compare -metric AE "$current" "$previous" null: 2>&1)" = 0 ]; then
      return 0
    fi
    previous=$current
  done
  fail "nothing changed after: $*"
}
# click X Y: held like a hand's, at page coordinates.
click() {
  begin
  xdotool mousemove "$((left + $1))" "$((top + $2))" sleep 0.05 mousedown 1 sleep 0.12 mouseup 1
  settle "click $1 $2"
}
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

start
open_project_and_add_button
begin
python3 "$here/close_window.py" "$window"
settle "asking before the close"
xdotool mousemove "$((left + yes[0]))" "$((top + yes[1]))" sleep 0.05 mousedown 1 sleep 0.12 mouseup 1
wait_exit "$app" 30; app=""
[ "$EXIT_STATUS" = 0 ] || fail "Yes ended with status $EXIT_STATUS"
[ "$(buttons)" = 1 ] || fail "Yes did not save the button"
[ ! -e "$draft" ] || fail "a saved project left a draft"

start
open_project_and_add_button
for _ in $(seq 50); do [ -e "$draft" ] && break; sleep 0.1; done
[ -e "$draft" ] || fail "no draft within 5 s of the change"
kill -9 "$app"; wait "$app" 2>/dev/null; app=""
start
click "${yes[@]}"  # the draft's question
begin
python3 "$here/close_window.py" "$window"
settle "the close after the draft came back"
xdotool mousemove "$((left + yes[0]))" "$((top + yes[1]))" sleep 0.05 mousedown 1 sleep 0.12 mouseup 1
wait_exit "$app" 30; app=""
[ "$EXIT_STATUS" = 0 ] || fail "the second close ended with status $EXIT_STATUS"
[ "$(buttons)" = 2 ] || fail "the draft's button was not kept"
[ ! -e "$draft" ] || fail "the draft stayed after its work was saved"
echo "closing asks; a draft comes back after kill -9"
