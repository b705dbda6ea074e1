#!/usr/bin/env bash
# A hobbyist's first hour in the real Linux window under Xvfb: a converted
# sound played through SDL's disk audio driver (the samples written are the
# decoder's), a picture that a project uses asked about before deleting
# (the question names the project; No keeps it), a 19th project reached on
# the Project Manager's second page, and a server list opened over stored
# picks (the How-to panel says why they went). The screens are compared with
# the headless runner's frames of the same storage.
set -uo pipefail
program=$1; headless=$2; inspector=$3; resources=$4; out=$5
here=$(dirname "$0")
. "$here/xvfb.sh"
mkdir -p "$out"
use_data_folder "$resources" || exit 1
fail() { echo "FAIL: $*"; exit 1; }

# The storage: a picture used by the last of 19 projects, and a sound.
{ printf 'tick 3\npage picture Station~\n'
  for i in $(seq -w 1 18); do printf 'page project P%s~ KQ-4\n' "$i"; done
  printf 'page project Yard~ ZR-5 Station~\ntick\npress 705 536\ntick\nrelease\ntick 3\n'
} >"$out/first_hour_storage.run"
"$headless" "$out/first_hour_storage.run" >/dev/null || fail "storage"
sox -n -r 44100 -b 16 -c 1 "$out/horn.wav" synth 0.3 sine 440 vol 0.5 || fail "sox"
"$inspector" "$storage" add-sound horn "$out/horn.wav" >/dev/null || fail "add-sound"

# The headless runner's frames of the same storage and clicks.
reference="$out/first_hour_reference"
rm -rf "$reference"; cp -r "$data" "$reference"
cat >"$out/first_hour_reference.run" <<'SCRIPT'
tick 3
press 319 101
tick
release
tick
press 319 225
tick
release
tick
tick 2
press 308 122
tick
release
tick
tick 2
shot first_hour_question.png
press 490 320
tick
release
tick
tick 2
press 695 568
tick
release
tick
tick 2
press 319 194
tick
release
tick
press 319 225
tick
release
tick
tick 2
press 166 530
tick
release
tick
tick
shot first_hour_projects.png
press 645 536
tick
release
tick
tick 2
press 319 101
tick
release
tick
press 150 294
tick
release
tick
press 125 101
tick
release
tick
tick
shot first_hour_notice.png
SCRIPT
TRELVAN_DATA_DIR="$reference" "$headless" --output "$out" "$out/first_hour_reference.run" >/dev/null ||
  fail "reference shots"

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$out/first_hour_played.raw"
rm -f "$SDL_DISKAUDIOFILE"
start_xvfb || exit 1
"$program" &
app=$!
find_window "$app" || fail "no window"
# click X Y: a press held like a hand's, then time for the page to draw.
click() {
  xdotool mousemove "$((left + $1))" "$((top + $2))" mousedown 1 sleep 0.12 mouseup 1
  sleep 0.4
}
# expect NAME [GEOMETRY]: the window (or its area) shows the reference NAME.
expect() {
  wait_for_picture "$out/first_hour_now.png" "${2:-800x600+$left+$top}" "$out/$1.png" 10 ||
    fail "the window does not show $1"
}
sleep 1
click 319 132   # the sounds in the Assistant
click 319 225   # Open Manager: the Sound Manager
click 255 122   # play horn~
sleep 1.5
click 728 568   # back to the main page
click 319 101   # the pictures in the Assistant
click 319 225   # Open Manager: the Picture Manager
click 308 122   # delete Station~
expect first_hour_question
click 490 320   # No
click 695 568   # back to the main page
click 319 194   # the projects in the Assistant
click 319 225   # Open Manager: the Project Manager
click 166 530   # the next page: the 19th project
expect first_hour_projects
click 645 536   # back to the main page
click 319 101   # the pictures in the Assistant
click 150 294   # pick Station~
click 125 101   # the server's pictures: the pick goes, and the panel says why
convert "$out/first_hour_notice.png" -crop 360x100+430+404 +repage "$out/first_hour_notice_area.png"
expect first_hour_notice_area "360x100+$((left + 430))+$((top + 404))"
click 705 536   # exit
wait_exit "$app" 15
app=""
[ "$EXIT_STATUS" = 0 ] || fail "exit status '$EXIT_STATUS'"

"$inspector" "$storage" ls | grep -q ' Station~ .*Picture' || fail "No did not keep the picture"
# the samples SDL wrote are the stored sound as the decoder gives it
"$inspector" "$storage" export horn~ "$out/first_hour_horn.wav" >/dev/null || fail "export"
bytes=$(($(stat -c %s "$out/first_hour_horn.wav") - 44))
[ "$(stat -c %s "$SDL_DISKAUDIOFILE")" -ge "$bytes" ] || fail "fewer samples played than stored"
cmp -s -n "$bytes" <(tail -c +45 "$out/first_hour_horn.wav") "$SDL_DISKAUDIOFILE" ||
  fail "the samples played differ from the decoder's"
echo "first hour gui test passed"
