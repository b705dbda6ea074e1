#!/usr/bin/env bash
# Quick clicks in the real Linux window under Xvfb. The keyboard probe (the
# program with a keyboard page open) is clicked like a hand does it, each
# press held 100 ms and the next one 100 ms later: H, e, l, l, o on the
# alphanumeric keyboard enter "Hello", and 1, 0, 0 on the numeric keyboard
# enter "100". A press that follows the last one so closely on the same key
# is a double click to SDL; the program still takes it as a press.
set -uo pipefail
probe=$1; headless=$2; resources=$3; out=$4
. "$(dirname "$0")/xvfb.sh"
use_data_folder "$resources" || exit 1
start_xvfb || exit 1

# type_by_clicks KIND PAGE TEXT: opens the KIND keyboard in the probe, clicks
# the keys of TEXT, closes the window and checks what the keys entered.
type_by_clicks() {
  local kind=$1 page=$2 text=$3 script boxes window left top
  # The page as the headless runner draws it, and the box of each key.
  script="page $page"$'\n'"tick 3"$'\n'"shot keyboard_$kind.png"$'\n'
  for ((i = 0; i < ${#text}; i++)); do script+="page key ${text:i:1}"$'\n'; done
  boxes=$(TRELVAN_DATA_DIR= "$headless" --output "$out" --resources "$resources" <(printf '%s' "$script"))
  [ "$(wc -l <<<"$boxes")" = "${#text}" ] || { echo "FAIL($kind): key boxes '$boxes'"; return 1; }

  "$probe" "$kind" >"$out/entered_$kind.txt" &
  app=$!
  find_window "$app" || { echo "FAIL($kind): no window"; return 1; }
  wait_for_picture "$out/keyboard_${kind}_window.png" "800x600+$left+$top" \
    "$out/keyboard_$kind.png" 15 || { echo "FAIL($kind): the window does not show the keyboard"; return 1; }

  local clicks=()
  while read -r x y w h; do
    clicks+=(mousemove $((left + x + w / 2)) $((top + y + h / 2)) mousedown 1 sleep 0.1 mouseup 1 sleep 0.1)
  done <<<"$boxes"
  xdotool "${clicks[@]}"
  close_window "$window"
  wait_exit "$app" 20
  app=""
  [ "$EXIT_STATUS" = 0 ] || { echo "FAIL($kind): exit status '$EXIT_STATUS'"; return 1; }
  local entered; entered=$(cat "$out/entered_$kind.txt")
  [ "$entered" = "$text" ] || { echo "FAIL($kind): clicking $text entered '$entered'"; return 1; }
}

type_by_clicks alpha "keyboard 23 0" Hello || exit 1
type_by_clicks numeric "numeric 0 1000 Number" 100 || exit 1
echo "quick clicks test passed"
