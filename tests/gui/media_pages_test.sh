#!/usr/bin/env bash
# The media managers in the real Linux window under Xvfb: a BMP made with
# ImageMagick goes through the Picture Manager and a WAV made with sox
# through the Sound Manager, with held clicks and typed keys. After the exit
# the inspector exports the stored picture and sound, and they are the same
# bytes the inspector's own conversion of those files gives.
set -uo pipefail
program=$1; inspector=$2; resources=$3; out=$4
here=$(dirname "$0")
. "$here/xvfb.sh"
mkdir -p "$out"
use_data_folder "$resources" || exit 1
use_loopback_ports
pc="$data/pc"
mkdir -p "$pc"
fail() { echo "FAIL: $*"; exit 1; }

convert -size 480x180 gradient:navy-orange -fill red -draw 'rectangle 300,90 420,130' \
  -type TrueColor -alpha off "$pc/Station.bmp" || fail "convert"
sox -n -r 44100 -b 16 -c 1 "$pc/horn.wav" synth 0.4 sine 440 vol 0.5 || fail "sox"
# Select File opens in the folder it remembers: the PC folder.
{ printf '\002SelectFileLastPath\000\000Text\0001.00\000\000\003%s/' "$pc"
  head -c $((127 - ${#pc})) /dev/zero; } >"$data/SelectFileLastPath.rsc"
start_xvfb || exit 1

"$program" &
app=$!
find_window "$app" || fail "no window"
shot() { import -window root -crop "800x600+$left+$top" "$1"; }
same() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }
# settle: waits until the window shows the same picture twice in a row.
settle() {
  local previous="$out/media_settle_a.png" current="$out/media_settle_b.png"
  shot "$previous"
  for _ in $(seq 40); do
    sleep 0.25
    shot "$current"
    same "$previous" "$current" && return 0
    mv "$current" "$previous"
  done
  fail "the window does not come to rest"
}
# changed: waits until the window differs from the picture taken before the
# input, then until it is at rest: every input below changes the window, so
# the next one never reaches a page that is not drawn yet.
changed() {
  for _ in $(seq 40); do
    shot "$out/media_now.png"
    same "$out/media_before.png" "$out/media_now.png" || { settle; return 0; }
    sleep 0.25
  done
  fail "the window did not change after $1"
}
# click X Y: a press held like a hand's.
click() {
  shot "$out/media_before.png"
  xdotool mousemove "$((left + $1))" "$((top + $2))" mousedown 1 sleep 0.12 mouseup 1
  changed "the click at $1,$2"
}

settle          # the main page
click 319 101   # storage pictures
click 319 225   # open manager: the Picture Manager
click 575 452   # add
click 554 135   # the first file of the PC folder: Station.bmp
click 313 122   # show the first row's picture
import -window root "$out/media_picture_page.png"
click 710 568   # back to the main page
click 319 132   # storage sounds
click 319 225   # open manager: the Sound Manager
click 455 98    # single
click 565 140   # the slot
click 554 135   # horn.wav
click 430 568   # enter name
shot "$out/media_before.png"
xdotool type --delay 120 "horn"
xdotool key Return
changed "the name"
click 584 568   # create
import -window root "$out/media_sound_page.png"
click 728 568   # back to the main page
click 705 536   # exit
wait_exit "$app" 15
app=""
[ "$EXIT_STATUS" = 0 ] || fail "exit status '$EXIT_STATUS'"

listing=$("$inspector" "$storage" ls)
grep -q ' Station~ .*Picture' <<<"$listing" || fail "no picture stored: $listing"
grep -q ' horn~ .*Sound' <<<"$listing" || fail "no sound stored: $listing"
"$inspector" "$storage" export Station~ "$out/Station.png" >/dev/null || fail "export picture"
"$inspector" "$storage" export horn~ "$out/horn_export.wav" >/dev/null || fail "export sound"
[ "$(identify -format %wx%h "$out/Station.png")" = 240x90 ] || fail "picture size"
[ "$(soxi -r "$out/horn_export.wav")" = 22050 ] || fail "exported rate"
# the same files through the inspector's conversion give the same bytes
reference="$data/reference"
"$inspector" "$reference" add-picture "$pc/Station.bmp" >/dev/null || fail "reference picture"
"$inspector" "$reference" add-sound horn "$pc/horn.wav" >/dev/null || fail "reference sound"
for name in Station~ horn~; do
  cmp -s <("$inspector" "$storage" cat "$name") <("$inspector" "$reference" cat "$name") ||
    fail "$name differs from the inspector's conversion"
done
echo "media pages gui test passed"
