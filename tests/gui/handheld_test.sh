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
# over-run's box is up beside the window. After the exit the files all
# received are the resource files taken in, byte for byte. (How the import
# stores them is its unit test's; the HID link, pushed namesakes and junk
# page files are the e2e, fault and start-up tests'.)
set -uo pipefail
program=$1; headless=$2; inspector=$3; handheld=$4; driver=$5; resources=$6; out=$7
. "$(dirname "$0")/xvfb.sh"
use_data_folder "$resources" || exit 1

use_loopback_ports

sent="$data/sent"
mkdir -p "$sent"
make_pictures "$sent" Bridge Signal Tunnel
cp "$sent"/*~.rsc "$data/"

pulled="$data/pulled"; serial="$data/serial"
mkdir -p "$pulled" "$serial"

start_xvfb || exit 1
headless_shot "$headless" "$resources" "$out/handheld_expected.png" || fail "headless shot"
exit_control "$headless" "$resources"
convert "$out/handheld_expected.png" -crop "${ew}x${eh}+$ex+$ey" +repage "$out/handheld_exit.png"
convert -size "${ew}x${eh}" xc:white "$out/handheld_blank.png"

# The serial driver library is found on the library path once the setup
# asks for it; its handheld pulls into $serial and leaves word in done.
start_showing handheld_start "$out/handheld_expected.png" env TRELVAN_FAKE_D2XX="pull $serial" \
  LD_LIBRARY_PATH="$driver${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}" TRELVAN_FAKE_D2XX_DONE="$data/done" "$program"
tap 319 101                                     # the storage pictures
for r in 0 1 2; do tap 176 $((294 + 21 * r)); done
sleep 0.3

(exec -a "$TRELVAN_SIMULATOR_PROCESS" "$handheld" pull "$pulled" >"$out/handheld_pull.log" 2>&1) &
sim=$!
app="$app $sim"
blanked=0
# Sampled while the stand-in runs and once after it ends: the button stays
# blank for the quiet second after the transfer, however slow the machine.
for _ in $(seq 600); do
  ended=0; kill -0 "$sim" 2>/dev/null || ended=1
  exit_area "$out/handheld_exit_now.png"
  same "$out/handheld_exit_now.png" "$out/handheld_blank.png" && { blanked=1; break; }
  [ "$ended" = 1 ] && break
  sleep 0.1
done
wait_exit "$sim" 60
cat "$out/handheld_pull.log"
[ "$EXIT_STATUS" = 0 ] || fail "the pull ended with '$EXIT_STATUS'"
[ "$blanked" = 1 ] || fail "the exit button was not blanked during the transfer"
exit_back "$out/handheld_exit.png" || fail "the exit button did not come back after the transfer"

(exec -a "TX Simulator.exe" "$handheld" oversized >"$out/handheld_oversized.log" 2>&1) &
sim=$!
wait_exit "$sim" 60
cat "$out/handheld_oversized.log"
[ "$EXIT_STATUS" = 0 ] || fail "the oversized reads ended with '$EXIT_STATUS'"
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
exit_back "$out/handheld_exit.png" || fail "the exit button did not come back after the cut push"

tap 515 536                                     # setup
sleep 0.3
tap 155 275                                     # use the older drivers: the library loads
tap 400 536                                     # back
for _ in $(seq 300); do [ -e "$data/done" ] && break; sleep 0.1; done
[ "$(cat "$data/done" 2>/dev/null)" = ok ] || fail "the serial pull: '$(cat "$data/done" 2>/dev/null)'"
exit_back "$out/handheld_exit.png" || fail "the exit button did not come back after the serial transfer"

leave_by_exit 10
[ "$(ls "$pulled" | wc -l)" = 3 ] || fail "pulled $(ls "$pulled" | tr '\n' ' ')"
[ "$(ls "$serial" | wc -l)" = 3 ] || fail "serial $(ls "$serial" | tr '\n' ' ')"
"$inspector" "$storage" cat Setup400 | cmp - <(printf '\000\001') || fail "Setup400 not stored"
! "$inspector" "$storage" ls | grep -qF "Pushed~" || fail "the cut push left a file"
for n in Bridge Signal Tunnel; do
  cmp "$pulled/$n~" "$sent/$n~.rsc" || fail "$n~ pulled differs from the file taken in"
  cmp "$serial/$n~" "$sent/$n~.rsc" || fail "$n~ pulled over the serial link differs"
done
echo "handheld test passed"
