#!/usr/bin/env bash
# The main page in the real Linux window under Xvfb:
#   0. a start killed while it runs leaves the page files in the data folder,
#      and the next start shows the main page from them;
#   1. with the built page files in the data folder, the window shows the main
#      page exactly as the headless runner draws it; a click on the exit
#      control ends the program with status 0, and the data folder then holds
#      a 134,217,728-byte storage file that the inspector accepts and that
#      lists the page files, while the .rsc files are gone;
#   2. a second start, with no .rsc file left, shows the same main page;
#   3. a second copy started while the first runs shows the message, ends by
#      itself, imports nothing and leaves the storage file unchanged;
#   4. the first copy, ended with the exit control, saves again;
#   5. with fourteen pictures put into the storage by the inspector, held
#      clicks on the pictures list, its next and previous screens and eight
#      rows show the window of the golden shot main_page_selection_full.png.
set -uo pipefail
program=$1; headless=$2; inspector=$3; resources=$4; out=$5
here=$(dirname "$0")
. "$here/xvfb.sh"
mkdir -p "$out"
data=$(mktemp -d)
app=""; other=""
trap 'kill $app $other 2>/dev/null; stop_xvfb; rm -rf "$data"' EXIT
export TRELVAN_DATA_DIR="$data"
# Ports of its own, the sample catalogue served on one: another program on
# the default ones, or no server, would be said mid-test.
use_loopback_ports
storage="$data/Trelvan Assistant Storage 400"
ls "$resources"/*.rsc >/dev/null 2>&1 || { echo "FAIL: no .rsc files in $resources"; exit 1; }
cp "$resources"/*.rsc "$data/"
start_xvfb || exit 1

headless_shot "$headless" "$resources" "$out/main_page_expected.png" || { echo "FAIL: headless shot"; exit 1; }
# The exit control's box, as the page file places it.
read -r ex ey ew eh < <(printf 'tick\npage control image 0\n' | TRELVAN_DATA_DIR= "$headless" \
                          --resources "$resources" /dev/stdin | head -n 1)
[ -n "${eh:-}" ] || { echo "FAIL: no exit control"; exit 1; }

# start NAME: starts the program and waits until its window shows the main page.
start() {
  "$program" &
  app=$!
  find_window "$app" || { echo "FAIL($1): no window"; return 1; }
  wait_for_picture "$out/main_page_$1.png" "800x600+$left+$top" "$out/main_page_expected.png" 15 ||
    { echo "FAIL($1): the window does not show the main page"; return 1; }
}

# leave NAME: clicks the exit control and checks the end and the storage file.
leave() {
  # Held like a hand's click: a press and release inside one tick reach the
  # page as a release only.
  xdotool mousemove "$((left + ex + ew / 2))" "$((top + ey + eh / 2))" mousedown 1 sleep 0.2 mouseup 1
  wait_exit "$app" 10
  app=""
  [ "$EXIT_STATUS" = 0 ] || { echo "FAIL($1): exit status '$EXIT_STATUS' after the exit click"; return 1; }
  [ "$(stat -c %s "$storage" 2>/dev/null)" = 134217728 ] ||
    { echo "FAIL($1): storage file missing or of the wrong size"; return 1; }
  "$inspector" "$storage" check || { echo "FAIL($1): the storage file does not pass the check"; return 1; }
}

# A start killed while it runs saves nothing, so the page files it took in
# must still wait in the folder: the next start shows the main page again.
start killed || exit 1
kill -KILL "$app"; wait "$app" 2>/dev/null; app=""
[ ! -e "$storage" ] || { echo "FAIL: a storage file without an exit save"; exit 1; }
for rsc in "$resources"/*.rsc; do
  [ -e "$data/$(basename "$rsc")" ] || { echo "FAIL: $(basename "$rsc") gone after a kill"; exit 1; }
done

start first || exit 1
leave first || exit 1
listing=$("$inspector" "$storage" ls)
for rsc in "$resources"/*.rsc; do
  name=$(basename "$rsc" .rsc)
  grep -qF "$name" <<<"$listing" || { echo "FAIL: '$name' not in the storage"; exit 1; }
  [ ! -e "$data/$name.rsc" ] || { echo "FAIL: $name.rsc left in the data folder"; exit 1; }
done

start second || exit 1
before=$(sha1sum "$storage")
cp "$resources/TA Common.rsc" "$data/Late.rsc"
"$program" &
other=$!
# The message box is a process of its own, started by the second copy, and
# xdotool's name search misses it; the window tree names it.
box=""
for _ in $(seq 40); do
  box=$(xwininfo -root -tree | awk '$2 == "\"Message\":" {print $1; exit}')
  [ -n "$box" ] && break
  sleep 0.5
done
[ -n "$box" ] || { echo "FAIL: the second copy shows no message"; exit 1; }
python3 "$here/close_window.py" "$box"
wait_exit "$other" 10
other=""
[ "$EXIT_STATUS" = 0 ] || { echo "FAIL: second copy exit status '$EXIT_STATUS'"; exit 1; }
[ "$(sha1sum "$storage")" = "$before" ] || { echo "FAIL: the second copy changed the storage file"; exit 1; }
[ -e "$data/Late.rsc" ] || { echo "FAIL: the second copy took in a resource file"; exit 1; }
leave second || exit 1

# click X Y: a held click at page coordinates.
click() {
  xdotool mousemove "$((left + $1))" "$((top + $2))" mousedown 1 sleep 0.12 mouseup 1 sleep 0.05
}
for i in $(seq -w 1 14); do
  printf '\x02Station_%s~\x00\x00Picture\x001.00\x00\x00\x03\x01\x02\x03\x04' "$i" >"$out/picture.rsc"
  "$inspector" "$storage" put "$out/picture.rsc" >/dev/null || { echo "FAIL: put picture $i"; exit 1; }
done
printf '\x02Whistle~\x00\x00Sound\x001.00\x00\x00\x03\x01\x02\x03\x04' >"$out/sound.rsc"
"$inspector" "$storage" put "$out/sound.rsc" >/dev/null || { echo "FAIL: put sound"; exit 1; }
start third || exit 1
click 319 101            # the storage pictures button
click 384 530            # next screen
click 384 304            # back
for r in 0 1 2 2 3 4 5 6 7; do click 176 $((294 + 21 * r)); done
# Below the connection lights: the golden shot has no server answering.
convert "$here/../golden/main_page_selection_full.png" -crop 800x420+0+180 +repage \
  "$out/main_page_selection_expected.png"
wait_for_picture "$out/main_page_selection.png" "800x420+$left+$((top + 180))" \
  "$out/main_page_selection_expected.png" 10 ||
  { echo "FAIL: the window does not show the eight pictures selected"; exit 1; }
leave third || exit 1
echo "main page test passed"
