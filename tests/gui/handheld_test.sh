#!/usr/bin/env bash
# The handheld link in the real Linux window under Xvfb: three pictures
# taken in as resource files are chosen on the main page with held clicks;
# the stand-in handheld, run under a name of its own on free loopback ports,
# pulls them. While it does, the exit button is blanked; a quiet second after
# it ends the button is back. A push cut off half-way (the stand-in killed)
# leaves no file and the storage usable: the setup page's Back still stores
# "Setup400", while its check box loads the stand-in serial driver library,
# whose handheld pulls the same files over the serial link. Reads of 250 to
# 256 bytes each followed by a no-op: every no-op is answered while the
# over-run's box is up beside the window. A second start with the stand-in
# hidapi library preloaded pulls the files over the HID link. After the exit the files all received are the stored
# ones byte for byte: the resource files, and after their headers what the
# inspector's `cat` gives. Last, a pushed namesake and a pushed junk page
# file leave the original picture and a working main page.
set -uo pipefail
program=$1; headless=$2; inspector=$3; handheld=$4; driver=$5; resources=$6; out=$7; hidlib=$8
here=$(dirname "$0")
. "$here/xvfb.sh"
mkdir -p "$out"
use_data_folder "$resources" || exit 1
fail() { echo "FAIL: $*"; exit 1; }

use_loopback_ports

header=25
sent="$data/sent"
mkdir -p "$sent"
make_pictures "$sent" Bridge Signal Tunnel
cp "$sent"/*~.rsc "$data/"

pulled="$data/pulled"; serial="$data/serial"
mkdir -p "$pulled" "$serial"

start_xvfb || exit 1
headless_shot "$headless" "$resources" "$out/handheld_expected.png" || fail "headless shot"
read -r ex ey ew eh < <(printf 'tick\npage control image 0\n' | TRELVAN_DATA_DIR= "$headless" \
                          --resources "$resources" /dev/stdin | head -n 1)
[ -n "${eh:-}" ] || fail "no exit control"
exitbox="${ew}x${eh}+$ex+$ey"
convert "$out/handheld_expected.png" -crop "$exitbox" +repage "$out/handheld_exit.png"
convert -size "${ew}x${eh}" xc:white "$out/handheld_blank.png"

# The serial driver library is found on the library path once the setup
# asks for it; its handheld pulls into $serial and leaves word in done.
LD_LIBRARY_PATH="$driver${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" TRELVAN_FAKE_D2XX="pull $serial" \
  TRELVAN_FAKE_D2XX_DONE="$data/done" "$program" &
app=$!
find_window "$app" || fail "no window"
wait_for_picture "$out/handheld_start.png" "800x600+$left+$top" "$out/handheld_expected.png" 15 ||
  fail "the window does not show the main page"
click() {
  xdotool mousemove "$((left + $1))" "$((top + $2))" mousedown 1 sleep 0.12 mouseup 1 sleep 0.05
}
click 319 101                                   # the storage pictures
for r in 0 1 2; do click 176 $((294 + 21 * r)); done
sleep 0.3

(exec -a "$TRELVAN_SIMULATOR_PROCESS" "$handheld" pull "$pulled" >"$out/handheld_pull.log" 2>&1) &
sim=$!
app="$app $sim"
exitarea() { import -window root -crop "${ew}x${eh}+$((left + ex))+$((top + ey))" +repage "$1"; }
same() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }
blanked=0
# Sampled while the stand-in runs and once after it ends: the button stays
# blank for the quiet second after the transfer, however slow the machine.
for _ in $(seq 600); do
  ended=0; kill -0 "$sim" 2>/dev/null || ended=1
  exitarea "$out/handheld_exit_now.png"
  same "$out/handheld_exit_now.png" "$out/handheld_blank.png" && { blanked=1; break; }
  [ "$ended" = 1 ] && break
  sleep 0.1
done
wait_exit "$sim" 60
cat "$out/handheld_pull.log"
[ "$EXIT_STATUS" = 0 ] || fail "the pull ended with '$EXIT_STATUS'"
[ "$blanked" = 1 ] || fail "the exit button was not blanked during the transfer"
# exit_back: true once the exit button is drawn again (the quiet second).
exit_back() {
  for _ in $(seq 50); do
    sleep 0.2
    exitarea "$out/handheld_exit_now.png"
    same "$out/handheld_exit_now.png" "$out/handheld_exit.png" && return 0
  done
  return 1
}
exit_back || fail "the exit button did not come back after the transfer"

(exec -a "TX Simulator.exe" "$handheld" oversized >"$out/handheld_oversized.log" 2>&1) &
sim=$!
wait_exit "$sim" 60
cat "$out/handheld_oversized.log"
[ "$EXIT_STATUS" = 0 ] || fail "the oversized reads ended with '$EXIT_STATUS'"
boxes() { xwininfo -root -children | awk '$2 == "\"Message\":" { print $1 }'; }
# The box is a process of its own: it opens once that process has started.
for _ in $(seq 100); do [ -n "$(boxes)" ] && break; sleep 0.1; done
[ "$(boxes | wc -l)" = 1 ] || fail "not one box for the over-run: $(boxes | wc -l)"
xdotool key --window "$(boxes)" Return
for _ in $(seq 50); do [ -z "$(boxes)" ] && break; sleep 0.1; done
[ -z "$(boxes)" ] || fail "the box did not close"

# A push cut off half-way: the stand-in killed after two of its eight seconds.
{ printf '\002Pushed~\000\000Picture\0001.00\000\000\003'; head -c 200000 /dev/urandom; } >"$sent/push"
(exec -a "$TRELVAN_SIMULATOR_PROCESS" "$handheld" push "$sent/push" >/dev/null 2>&1) &
sim=$!
sleep 2
kill -KILL "$sim"; wait "$sim" 2>/dev/null
exit_back || fail "the exit button did not come back after the cut push"

click 515 536                                   # setup
sleep 0.3
click 155 275                                   # use the older drivers: the library loads
click 400 536                                   # back
for _ in $(seq 300); do [ -e "$data/done" ] && break; sleep 0.1; done
[ "$(cat "$data/done" 2>/dev/null)" = ok ] || fail "the serial pull: '$(cat "$data/done" 2>/dev/null)'"
exit_back || fail "the exit button did not come back after the serial transfer"

xdotool mousemove "$((left + ex + ew / 2))" "$((top + ey + eh / 2))" mousedown 1 sleep 0.2 mouseup 1
wait_exit "${app%% *}" 10
app=""
[ "$EXIT_STATUS" = 0 ] || fail "exit status '$EXIT_STATUS'"
# The HID link: the device is the stand-in handheld behind the preloaded
# library; the probe takes it before the simulator it also runs as.
hid="$data/hid"
mkdir -p "$hid"
read -r h1 h2 < <(python3 -c '
import socket
s = [socket.socket(socket.AF_INET, socket.SOCK_DGRAM) for _ in range(2)]
for x in s: x.bind(("127.0.0.1", 0))
print(*[x.getsockname()[1] for x in s])')
export TRELVAN_FAKE_HID_PORTS="$h1:$h2"
LD_PRELOAD="$hidlib" "$program" &
app=$!
find_window "$app" || fail "no window with the HID library"
wait_for_picture "$out/handheld_hid_start.png" "800x600+$left+$top" "$out/handheld_expected.png" 15 ||
  fail "the second start does not show the main page"
click 319 101
for r in 0 1 2; do click 176 $((294 + 21 * r)); done
sleep 0.3
(exec -a "TX Simulator.exe" "$handheld" --hid pull "$hid" >"$out/handheld_hid.log" 2>&1) &
sim=$!
app="$app $sim"
wait_exit "$sim" 60
cat "$out/handheld_hid.log"
[ "$EXIT_STATUS" = 0 ] || fail "the HID pull ended with '$EXIT_STATUS'"
exit_back || fail "the exit button did not come back after the HID transfer"
xdotool mousemove "$((left + ex + ew / 2))" "$((top + ey + eh / 2))" mousedown 1 sleep 0.2 mouseup 1
wait_exit "${app%% *}" 10
app=""
[ "$EXIT_STATUS" = 0 ] || fail "exit status '$EXIT_STATUS' after the HID run"
[ "$(ls "$hid" | wc -l)" = 3 ] || fail "HID $(ls "$hid" | tr '\n' ' ')"

# A push never takes a stored file away, nor the program's own pages: a
# picture named like a stored one and a junk "TA MainPage" claiming the
# program's own version are pushed; the next start keeps the original
# picture first of its name and shows a working main page.
version=$(head -c 64 "$resources/TA MainPage.rsc" | tr '\000' '\n' | sed -n 4p)
{ printf '\002Bridge~\000\000Picture\0001.00\000\000\003'; head -c 5000 /dev/urandom; } >"$sent/namesake"
{ printf '\002TA MainPage\000\000Page\000%s\000\000\003' "$version"; head -c 2040 /dev/urandom; } \
  >"$sent/junk"
"$program" &
app=$!
find_window "$app" || fail "no window for the pushes"
wait_for_picture "$out/handheld_push_start.png" "800x600+$left+$top" "$out/handheld_expected.png" 15 ||
  fail "the third start does not show the main page"
for f in namesake junk; do
  (exec -a "$TRELVAN_SIMULATOR_PROCESS" "$handheld" push "$sent/$f" >"$out/handheld_$f.log" 2>&1) &
  sim=$!
  wait_exit "$sim" 60
  cat "$out/handheld_$f.log"
  [ "$EXIT_STATUS" = 0 ] || fail "the push of $f ended with '$EXIT_STATUS'"
  exit_back || fail "the exit button did not come back after the push of $f"
done
xdotool mousemove "$((left + ex + ew / 2))" "$((top + ey + eh / 2))" mousedown 1 sleep 0.2 mouseup 1
wait_exit "$app" 10
[ "$EXIT_STATUS" = 0 ] || fail "exit status '$EXIT_STATUS' after the pushes"
"$program" &
app=$!
find_window "$app" || fail "no window after the pushes"
wait_for_picture "$out/handheld_after_push.png" "800x600+$left+$top" "$out/handheld_expected.png" 15 ||
  fail "the start after the pushes does not show the main page"
xdotool mousemove "$((left + ex + ew / 2))" "$((top + ey + eh / 2))" mousedown 1 sleep 0.2 mouseup 1
wait_exit "$app" 10
app=""
[ "$EXIT_STATUS" = 0 ] || fail "exit status '$EXIT_STATUS' after the start with the pushed files"
[ "$("$inspector" "$storage" ls | grep -c 'Bridge~')" = 2 ] || fail "not both Bridge~ files kept"
[ "$("$inspector" "$storage" ls | grep -c 'TA MainPage')" = 2 ] || fail "the pushed page file was not kept"
"$inspector" "$storage" cat "Bridge~" | cmp - <(tail -c +26 "$sent/Bridge~.rsc") ||
  fail "the original Bridge~ is not the first of its name"

[ "$(ls "$pulled" | wc -l)" = 3 ] || fail "pulled $(ls "$pulled" | tr '\n' ' ')"
[ "$(ls "$serial" | wc -l)" = 3 ] || fail "serial $(ls "$serial" | tr '\n' ' ')"
"$inspector" "$storage" cat Setup400 | cmp - <(printf '\000\001') || fail "Setup400 not stored"
! "$inspector" "$storage" ls | grep -qF "Pushed~" || fail "the cut push left a file"
for n in Bridge Signal Tunnel; do
  cmp "$pulled/$n~" "$sent/$n~.rsc" || fail "$n~ pulled differs from the file taken in"
  cmp "$serial/$n~" "$sent/$n~.rsc" || fail "$n~ pulled over the serial link differs"
  cmp "$hid/$n~" "$sent/$n~.rsc" || fail "$n~ pulled over the HID link differs"
  "$inspector" "$storage" cat "$n~" >"$out/$n.data" || fail "cat $n~"
  tail -c +$((header + 1)) "$pulled/$n~" | cmp - "$out/$n.data" || fail "$n~ differs from the stored data"
done
echo "handheld test passed"
