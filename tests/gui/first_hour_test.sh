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
. "$(dirname "$0")/xvfb.sh"
use_data_folder "$resources" || exit 1

# The storage: a picture used by the last of 19 projects, and a sound.
{ printf 'tick 3\npage picture Station~\n'
  for i in $(seq -w 1 18); do printf 'page project P%s~ KQ-4\n' "$i"; done
  printf 'page project Yard~ ZR-5 Station~\ntick\npress 705 536\ntick\nrelease\ntick 3\n'
} >"$out/first_hour_storage.run"
"$headless" "$out/first_hour_storage.run" >/dev/null || fail "storage"
sox -n -r 44100 -b 16 -c 1 "$out/horn.wav" synth 0.3 sine 440 vol 0.5 || fail "sox"
"$inspector" "$storage" add-sound horn "$out/horn.wav" >/dev/null || fail "add-sound"

# The walk: a click at X,Y; "wait" for the sound to play out; a screen
# NAME:GEOMETRY compared with the headless runner's frame of the same
# storage and clicks (the connection lamps differ, so the main page is
# compared by its How-to panel only).
walk=(319,132 319,225 255,122 wait 728,568                    # play horn~ in the Sound Manager
      319,101 319,225 362,122 first_hour_question:800x600+0+0   # delete Station~: the question
      490,320 695,568                                           # No
      319,194 319,225 166,530 first_hour_projects:800x600+0+0   # the Project Manager's second page
      645,536 319,101 150,294 125,101 first_hour_notice:360x100+430+404  # a pick, then a server list
      705,536)                                                  # exit
reference="$out/first_hour_reference"
rm -rf "$reference"; cp -r "$data" "$reference"
for step in "${walk[@]}"; do
  case $step in
    wait) ;;
    *:*) printf 'shot %s.png\n' "${step%%:*}" ;;
    *) printf 'press %s %s\ntick\nrelease\ntick 2\n' "${step%,*}" "${step#*,}" ;;
  esac
done | { echo 'tick 3'; cat; } >"$out/first_hour_reference.run"
TRELVAN_DATA_DIR="$reference" "$headless" --output "$out" "$out/first_hour_reference.run" >/dev/null ||
  fail "reference shots"

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$out/first_hour_played.raw"
rm -f "$SDL_DISKAUDIOFILE"
start_xvfb || exit 1
start_window first_hour "$program"
sleep 1
for step in "${walk[@]}"; do
  case $step in
    wait) sleep 1.5 ;;
    *:*)
      name=${step%%:*} geometry=${step#*:}
      read -r w h x y <<<"${geometry//[x+]/ }"
      convert "$out/$name.png" -crop "$geometry" +repage "$out/${name}_area.png"
      wait_for_picture "$out/first_hour_now.png" "${w}x$h+$((left + x))+$((top + y))" \
        "$out/${name}_area.png" 10 || fail "the window does not show $name" ;;
    *)  # a press held like a hand's, then time for the page to draw
      xdotool mousemove "$((left + ${step%,*}))" "$((top + ${step#*,}))" mousedown 1 sleep 0.12 mouseup 1
      sleep 0.4 ;;
  esac
done
wait_exit "$app" 15
app=""
[ "$EXIT_STATUS" = 0 ] || fail "exit status '$EXIT_STATUS'"

"$inspector" "$storage" ls | grep -q ' Station~ .*Picture' || fail "No did not keep the picture"
# the samples SDL wrote are the stored sound as the decoder gives it
"$inspector" "$storage" export horn~ "$out/first_hour_horn.wav" >/dev/null || fail "export"
tail -c +45 "$out/first_hour_horn.wav" >"$out/first_hour_stored.raw"
# SDL's driver writes silence until the first samples reach it (on a loaded
# machine a buffer of it): both are compared from their first sound on.
sound_from() { echo $(($(LC_ALL=C grep -obUaP -m1 '[^\x00]' "$1" | head -n 1 | cut -d: -f1) / 2 * 2)); }
s=$(sound_from "$out/first_hour_stored.raw") p=$(sound_from "$SDL_DISKAUDIOFILE")
bytes=$(($(stat -c %s "$out/first_hour_stored.raw") - s))
[ "$(stat -c %s "$SDL_DISKAUDIOFILE")" -ge $((p + bytes)) ] || fail "fewer samples played than stored"
cmp -s -n "$bytes" <(tail -c +$((s + 1)) "$out/first_hour_stored.raw") <(tail -c +$((p + 1)) "$SDL_DISKAUDIOFILE") ||
  fail "the samples played differ from the decoder's"
echo "first hour gui test passed"
