#!/usr/bin/env bash
# The Linux program in a real window under Xvfb: a window titled
# "Trelvan Assistant" with an 800 x 600 client area appears, shows the frame
# the headless runner draws for a start without page files (none in the
# data folder, an empty folder as the program's own), and closing it
# ends the process with status 0 within 2 seconds. Before that, without a
# display, the program says so on standard error and ends with status 1
# without making its data folder, and so does a message box.
set -uo pipefail
program=$1; headless=$2; out=$3
. "$(dirname "$0")/xvfb.sh"
data=$(mktemp -d)
trap 'kill $app 2>/dev/null; stop_xvfb; rm -rf "$data"' EXIT
nodata="$data/not made"
said=$(env -u DISPLAY -u WAYLAND_DISPLAY TRELVAN_DATA_DIR="$nodata" timeout 20 "$program" 2>&1 >/dev/null)
status=$?
[ "$status" = 1 ] || fail "without a display the status is $status"
grep -q "cannot open its window" <<<"$said" || fail "without a display it said '$said'"
[ ! -e "$nodata" ] || fail "without a display the data folder was made"
# A message box, too, ends with status 1 and its text said, not shown unseen.
said=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$program" --message-box 1 1 "Boxed" 2>&1)
status=$?
[ "$status" = 1 ] && grep -q "Boxed" <<<"$said" || fail "a box without a display: status $status"

# Without HOME (nor XDG_DATA_HOME or TRELVAN_DATA_DIR) the password database
# gives the home; a user it does not know (in a user namespace) is told so,
# status 1, and nothing is made where the program was started.
if unshare --user --map-user=54321 --map-group=54321 true 2>/dev/null; then
  said=$(cd "$data" && env -u HOME -u XDG_DATA_HOME -u TRELVAN_DATA_DIR \
           unshare --user --map-user=54321 --map-group=54321 timeout 20 "$program" 2>&1 >/dev/null)
  status=$?
  [ "$status" = 1 ] || fail "without a home the status is $status"
  grep -q "no home folder" <<<"$said" || fail "without a home it said '$said'"
  [ -z "$(ls -A "$data")" ] || fail "without a home something was made"
else
  echo "no user namespaces here: the start without a home is not tried"
fi

start_xvfb || exit 1

mkdir "$data/none"
start_window "Trelvan Assistant" env TRELVAN_DATA_DIR="$data" TRELVAN_RESOURCE_DIR="$data/none" "$program"
[ "$(window_size)" = 800x600 ] || fail "client area $(window_size)"
headless_shot "$headless" "" "$out/linux_window_expected.png" || fail "headless shot"
# The first frame follows the storage start-up (a fresh 128 MB image is
# formatted), so look for it for up to 10 seconds.
wait_for_picture "$out/linux_window.png" "800x600+$left+$top" "$out/linux_window_expected.png" 10 ||
  fail "the window does not show the expected frame"

close_window "$window"
wait_exit "$app" 2
[ "$EXIT_STATUS" = 0 ] || fail "exit status '$EXIT_STATUS' after closing"
echo "window test passed"
