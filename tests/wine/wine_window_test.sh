#!/usr/bin/env bash
# The 64-bit Windows program under Wine inside Xvfb, six runs on one data
# folder given as a Windows path:
#   1. the folder (two missing levels) is made; a window titled
#      "Trelvan Assistant" with an 800 x 600 client area appears centred and
#      shows the frame the headless runner draws for a start without page
#      files; closing it ends the process with status 0 and leaves the
#      134,217,728-byte storage file;
#   2. a resource file dropped into the folder is taken in and removed after
#      the exit save, a file of another kind stays;
#   3. the image saved by run 2 is loaded and written back unchanged;
#   4. a fresh start with the built page files shows the main page exactly as
#      the headless runner draws it; a click on its exit control ends the
#      program, and the storage file passes the inspector's check and lists
#      the page files;
#   5. the keyboard layout ticked on the setup page with held clicks, the
#      session ended (`wineboot --end-session`: WM_QUERYENDSESSION,
#      WM_ENDSESSION, then the process is ended): the storage file itself
#      holds the change and no journal is left, so the exit save ran, in
#      place (the file is the same file);
#   6. on that storage, mapped: a second program's attempt to cut the file
#      short fails while the program runs, and with no journal to be had (a
#      folder holds its name) the exit save writes a whole new file over the
#      mapped one, holding what the run found and a resource it took in.
set -uo pipefail
exe=$(realpath "$1"); headless=$2; out=$3; inspector=$4; resources=$5
. "$(dirname "$0")/wine.sh"
[ -f "$exe" ] || fail "$exe not built"
wine_scratch
data="$tmp/data/Trelvan Assistant"
storage="$data/Trelvan Assistant Storage 400"
export TRELVAN_DATA_DIR="Z:${data//\//\\}"
headless_shot "$headless" "" "$out/wine_expected.png" || fail "headless shot"

# run NAME [EXPECTED.png click|session]: starts the program, checks that its
# window shows the expected frame, closes it (or clicks the exit control, or
# ends the session after a change on the setup page), and waits for its end.
run() {
  local name=$1 expected=${2:-$out/wine_expected.png} how=${3:-close} x0 y0
  "$wine" "$exe" &
  app=$!
  wine_window || fail "$name: no 800 x 600 window"
  # The outer window is centred, so the client area starts just inside the
  # centred position: by the left border and by the caption and top border.
  read -r x0 y0 < <(xwininfo -root |
                    awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print int((w - 800) / 2), int((h - 600) / 2)}')
  [ "$left" -ge "$x0" ] && [ "$left" -le $((x0 + 16)) ] && [ "$top" -ge "$y0" ] && [ "$top" -le $((y0 + 64)) ] ||
    fail "$name: client at $left,$top, window not centred at $x0,$y0"
  wait_for_picture "$out/wine_$name.png" "800x600+$left+$top" "$expected" 10 ||
    fail "$name: the window does not show the expected frame"

  if [ -n "${during:-}" ]; then eval "$during" || fail "$name: $during"; fi
  if [ "$how" = session ]; then
    tap 515 536; tap 305 175; tap 400 536  # Setup, the layout switch, Back
    wait_for_picture "$out/wine_$name.png" "800x600+$left+$top" "$expected" 10 ||
      fail "$name: Back did not return to the main page"
    timeout 60 "$wine" wineboot --end-session >/dev/null 2>&1
  elif [ "$how" = click ]; then
    press_like_a_hand $((ex + ew / 2)) $((ey + eh / 2))
  else
    close_window "$window"
  fi
  wait_exit "$app" 10
  app=""
  [ "$EXIT_STATUS" = 0 ] || fail "$name: exit status '$EXIT_STATUS' after closing"
  [ "$(stat -c %s "$storage" 2>/dev/null)" = 134217728 ] || fail "$name: storage file missing or of the wrong size"
}

run first

printf '\002Greeting\000\000Text\0001.00\000\000\003a resource for the storage\n' >"$data/greeting.rsc"
printf 'not a resource\n' >"$data/notes.txt"
run second
[ ! -e "$data/greeting.rsc" ] || fail "greeting.rsc not taken in"
[ -e "$data/notes.txt" ] || fail "notes.txt was removed"
cp "$storage" "$tmp/second.img"

run third
cmp -s "$storage" "$tmp/second.img" || fail "the saved image did not come back unchanged"
rm -f "$storage"
cp "$resources"/*.rsc "$data/"
headless_shot "$headless" "$resources" "$out/wine_main_expected.png" || fail "headless shot"
exit_control "$headless" "$resources"
run fourth "$out/wine_main_expected.png" click
"$inspector" "$storage" check || fail "the storage file does not pass the check"
"$inspector" "$storage" ls | grep -qF "TA MainPage" || fail "no main page file in the storage"
inode=$(stat -c %i "$storage")
run fifth "$out/wine_main_expected.png" session
[ ! -e "$storage.journal" ] || fail "the session's end left the journal: no exit save"
[ "$(stat -c %i "$storage")" = "$inode" ] || fail "the exit save did not write in place"
layout() {
  "$inspector" "$storage" cat Setup400 | cmp -s - <(printf '\001\000') || fail "$1 lost the keyboard layout chosen"
}
layout "the session's end"

mkdir "$storage.journal"
printf '\002Farewell\000\000Text\0001.00\000\000\003another resource\n' >"$data/farewell.rsc"
printf 'echo cut> "%s"\r\n' "Z:${storage//\//\\}" >"$tmp/cut.bat"
during='"$wine" cmd /c "Z:${tmp//\//\\}\\cut.bat" >/dev/null 2>&1; [ "$(stat -c %s "$storage")" = 134217728 ]'
run sixth "$out/wine_main_expected.png"
rmdir "$storage.journal"
"$inspector" "$storage" check || fail "the whole-file save over the mapped file"
layout "the whole-file save"
"$inspector" "$storage" ls | grep -qF "Farewell" || fail "the resource taken in is lost"
echo "wine window test passed"
