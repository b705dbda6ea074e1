#!/usr/bin/env bash
# A project made in the real Linux window under Xvfb, with held clicks and
# typed keys: from the main page's project list to the Project Manager, a
# new ZR-5 project named on the keyboard, two buttons added and one dragged
# on the handheld screen, a condition on an input and a constant with a
# Play Sound task in its block, its sound chosen from the stored ones, Save
# As; then the Sound Manager's delete question for that sound, which names
# the project. After the exit the inspector lists exactly that project and
# program, and the question is the one the headless runner asks of the
# storage saved.
set -uo pipefail
program=$1; headless=$2; inspector=$3; resources=$4; out=$5
. "$(dirname "$0")/xvfb.sh"
use_data_folder "$resources" || exit 1
use_loopback_ports
# the storage holds one sound, horn~
printf 'tick 3\nclick Main Exit\n' >"$out/project_storage.run"
"$headless" "$out/project_storage.run" >/dev/null || fail "storage"
sox -n -r 44100 -b 16 -c 1 "$out/project_horn.wav" synth 0.3 sine 440 vol 0.5 || fail "sox"
"$inspector" "$storage" add-sound horn "$out/project_horn.wav" >/dev/null || fail "add-sound"
rm -rf "$out/project_start"; cp -r "$data" "$out/project_start"
start_xvfb || exit 1
headless_shot "$headless" "$resources" "$out/project_main_expected.png" "$out/project_start" ||
  fail "headless shot"

start_showing project_main "$out/project_main_expected.png" "$program"
xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowactivate --sync "$window" 2>/dev/null

# enter TEXT: typed on the PC keyboard into the keyboard page, then Return.
enter() {
  begin
  xdotool type --delay 40 "$1"
  xdotool key Return
  settle "enter $1"
}

click 319 194            # the storage projects list
click 319 225            # Open Manager: the Project Manager
click 540 132            # New Project
click 400 180            # module ZR-5
click 300 400            # the name field
enter yard
click 515 536            # Create: the page editor
click 80 147             # two buttons
click 80 147
# the second button, placed beside the first, dragged
begin
xdotool mousemove "$((left + 547))" "$((top + 195))" sleep 0.05 mousedown 1 sleep 0.15 \
  mousemove "$((left + 605))" "$((top + 250))" sleep 0.15 \
  mousemove "$((left + 665))" "$((top + 300))" sleep 0.15 mouseup 1
settle drag
click 270 560            # to the program page
click 734 55             # insert after Start
click 41 77              # If
click 133 391            # A: Input 1
click 393 77             # B: a constant
enter 250
click 734 77             # insert after the If row
click 193 99             # a task
click 400 104            # Play Sound
click 361 99             # its sound: the stored ones listed
click 400 48             # horn~, the first line
click 549 99             # its volume
enter 80
click 736 579            # Save As
enter depot
click 400 320            # "Save Complete!": Exit
click 64 579             # leave: saved, so straight to the Project Manager
click 645 536            # back to the main page
click 319 132            # the storage sounds list
click 319 225            # Open Manager: the Sound Manager
click 301 122            # delete horn~: the question
import -window root "$out/project_question_screen.png"
click 490 320            # No
click 728 568            # back to the main page
exit_control "$headless" "$resources"
leave_by_exit 10

listing=$("$inspector" "$storage" project 'depot~') || { echo "FAIL: no project depot~"; "$inspector" "$storage" ls; exit 1; }
echo "$listing"
expected='   0  Start
   1  If Input 1 = 250
   2    Play Sound horn~ 80
   3  Else
   4  End if
   5  End'
[ "$(grep -E '^ +[0-9]+  ' <<<"$listing")" = "$expected" ] || fail "the program differs"
grep -q '^model ZR-5 (class 1)$' <<<"$listing" || fail "model"
grep -q '^  2 Button 2     at 183,130  mode 0' <<<"$listing" || fail "the dragged button"
grep -q '^  1 Button 1     at 0,25 ' <<<"$listing" || fail "the first button"
"$inspector" "$storage" project 'yard~' >/dev/null 2>&1 && fail "yard~ was never saved"
# the question, as the headless runner asks it of the storage saved
rm -rf "$out/project_end"; cp -r "$data" "$out/project_end"
printf 'tick 3\nclick Main StorageSounds\ntick 3\nclick Main OpenManager\ntick 3\nclick Sound delete 0\ntick 3\nexpect message Delete horn~? Projects using it: depot~\nshot project_question.png\n' \
  >"$out/project_question.run"
TRELVAN_DATA_DIR="$out/project_end" "$headless" --output "$out" "$out/project_question.run" >/dev/null ||
  fail "the question does not name depot~"
same_picture "$out/project_question_screen.png" "800x600+$left+$top" "$out/project_question.png" ||
  fail "the window's question differs from $out/project_question.png"
echo "project test passed"
