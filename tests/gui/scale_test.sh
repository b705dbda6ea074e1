#!/usr/bin/env bash
# The window at the desktop's scale: with the display's X resource Xft.dpi
# at 192, as desktops set it for a scale of two, the window is
# 1600 x 1200 and shows the main page doubled pixel for pixel (the headless
# runner's frame scaled by two), and a hand's click on the doubled exit
# control ends the program with status 0, the click mapped back to the frame.
set -uo pipefail
program=$1; headless=$2; resources=$3; out=$4
. "$(dirname "$0")/xvfb.sh"
use_data_folder "$resources" || exit 1
start_xvfb 2048x1536 || exit 1
doubled_main_page "$headless" "$resources" "$out/scaled_expected.png"

free_loopback_ports
unset TRELVAN_SERVER TRELVAN_SCALE GDK_SCALE
echo "Xft.dpi: 192" | xrdb -merge || fail "xrdb"
start_window scaled "$program"
[ "$(window_size)" = 1600x1200 ] || fail "window $(window_size), not 1600x1200"
wait_for_picture "$out/scaled.png" "1600x1200+$left+$top" "$out/scaled_expected.png" 15 ||
  fail "the window does not show the main page doubled"
leave_by_exit 20 2
echo "scale test passed"
