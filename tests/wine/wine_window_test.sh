#!/usr/bin/env bash
# The 64-bit Windows program under Wine inside Xvfb, three runs on one data
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
here=$(dirname "$0")
. "$here/../gui/xvfb.sh"
mkdir -p "$out"
[ -f "$exe" ] || { echo "FAIL: $exe not built"; exit 1; }
find_wine || { echo "FAIL: no wine64"; exit 1; }

tmp=$(mktemp -d)
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  [ -n "$wineserver" ] && WINEPREFIX="$tmp/prefix" timeout 10 "$wineserver" -k 2>/dev/null
  stop_xvfb
  rm -rf "$tmp"
}
trap cleanup EXIT
export WINEPREFIX="$tmp/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
data="$tmp/data/Trelvan Assistant"
storage="$data/Trelvan Assistant Storage 400"
export TRELVAN_DATA_DIR="Z:${data//\//\\}"

start_xvfb || exit 1
headless_shot "$headless" "" "$out/wine_expected.png" || { echo "FAIL: headless shot"; exit 1; }
now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b - a }'; }

t=$(now)
timeout 180 "$wine" wineboot --init >/dev/null 2>&1 || { echo "FAIL: wineboot"; exit 1; }
echo "wine prefix made in $(elapsed "$t" "$(now)") s"

# run NAME [EXPECTED.png click]: starts the program, checks that its window
# shows the expected frame, closes it (or clicks the exit control), and
# waits for its end.
run() {
  local name=$1 expected=${2:-$out/wine_expected.png} how=${3:-close}
  local started window geometry width height left top closed
  started=$(now)
  "$wine" "$exe" &
  app=$!
  window=$(timeout 60 xdotool search --sync --name '^Trelvan Assistant$' | head -n 1)
  [ -n "$window" ] || { echo "FAIL($name): no window titled Trelvan Assistant"; return 1; }
  echo "$name: window after $(elapsed "$started" "$(now)") s"
  # The window is shown at its default size first and sized and centred
  # right after, so its geometry is read until it settles (at most 10 s).
  local tries=0
  while :; do
    geometry=$(xwininfo -id "$window")
    width=$(awk '/Width:/ {print $2}' <<<"$geometry")
    height=$(awk '/Height:/ {print $2}' <<<"$geometry")
    left=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$geometry")
    top=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$geometry")
    [ "$width" = 800 ] && [ "$height" = 600 ] && break
    tries=$((tries + 1))
    [ "$tries" -ge 100 ] && { echo "FAIL($name): client area ${width}x${height}"; return 1; }
    sleep 0.1
  done
  # The outer window is centred, so the client area starts just inside the
  # centred position: by the left border and by the caption and top border.
  local root screenW screenH x0 y0
  root=$(xwininfo -root)
  screenW=$(awk '/Width:/ {print $2}' <<<"$root")
  screenH=$(awk '/Height:/ {print $2}' <<<"$root")
  x0=$(( (screenW - 800) / 2 )); y0=$(( (screenH - 600) / 2 ))
  [ "$left" -ge "$x0" ] && [ "$left" -le $((x0 + 16)) ] &&
    [ "$top" -ge "$y0" ] && [ "$top" -le $((y0 + 64)) ] ||
    { echo "FAIL($name): client at $left,$top, window not centred at $x0,$y0"; return 1; }
  wait_for_picture "$out/wine_$name.png" "800x600+$left+$top" "$expected" 10 ||
    { echo "FAIL($name): the window does not show the expected frame"; return 1; }

  if [ -n "${during:-}" ]; then eval "$during" || { echo "FAIL($name): $during"; return 1; }; fi
  closed=$(now)
  if [ "$how" = session ]; then
    for at in "515 536" "305 175" "400 536"; do  # Setup, the layout switch, Back
      set -- $at
      xdotool mousemove "$((left + $1))" "$((top + $2))" mousedown 1 sleep 0.12 mouseup 1 sleep 0.1
    done
    wait_for_picture "$out/wine_$name.png" "800x600+$left+$top" "$expected" 10 ||
      { echo "FAIL($name): Back did not return to the main page"; return 1; }
    timeout 60 "$wine" wineboot --end-session >/dev/null 2>&1
  elif [ "$how" = click ]; then
    # Held like a hand's click: a press and release inside one tick reach
    # the page as a release only.
    xdotool mousemove "$((left + ex + ew / 2))" "$((top + ey + eh / 2))" mousedown 1 sleep 0.2 mouseup 1
  else
    python3 "$here/../gui/close_window.py" "$window"
  fi
  wait_exit "$app" 10
  app=""
  [ "$EXIT_STATUS" = 0 ] || { echo "FAIL($name): exit status '$EXIT_STATUS' after closing"; return 1; }
  # Under Xvfb no window manager withdraws the window, and Wine waits 2 s
  # for that inside DestroyWindow before the program's own exit work runs.
  echo "$name: ended $(elapsed "$closed" "$(now)") s after the close;" \
       "image written $(elapsed "$closed" "$(stat -c %.9Y "$storage" 2>/dev/null || echo 0)") s after"
  [ "$(stat -c %s "$storage" 2>/dev/null)" = 134217728 ] ||
    { echo "FAIL($name): storage file missing or of the wrong size"; return 1; }
}

run first || exit 1

printf '\002Greeting\000\000Text\0001.00\000\000\003a resource for the storage\n' >"$data/greeting.rsc"
printf 'not a resource\n' >"$data/notes.txt"
run second || exit 1
[ ! -e "$data/greeting.rsc" ] || { echo "FAIL: greeting.rsc not taken in"; exit 1; }
[ -e "$data/notes.txt" ] || { echo "FAIL: notes.txt was removed"; exit 1; }
cp "$storage" "$tmp/second.img"

run third || exit 1
cmp -s "$storage" "$tmp/second.img" || { echo "FAIL: the saved image did not come back unchanged"; exit 1; }
rm -f "$storage"
cp "$resources"/*.rsc "$data/"
headless_shot "$headless" "$resources" "$out/wine_main_expected.png" || { echo "FAIL: headless shot"; exit 1; }
read -r ex ey ew eh < <(printf 'tick\npage control image 0\n' | TRELVAN_DATA_DIR= "$headless" \
                          --resources "$resources" /dev/stdin | head -n 1)
[ -n "${eh:-}" ] || { echo "FAIL: no exit control"; exit 1; }
run fourth "$out/wine_main_expected.png" click || exit 1
"$inspector" "$storage" check || { echo "FAIL: the storage file does not pass the check"; exit 1; }
"$inspector" "$storage" ls | grep -qF "TA MainPage" || { echo "FAIL: no main page file in the storage"; exit 1; }
inode=$(stat -c %i "$storage")
run fifth "$out/wine_main_expected.png" session || exit 1
[ ! -e "$storage.journal" ] || { echo "FAIL: the session's end left the journal: no exit save"; exit 1; }
[ "$(stat -c %i "$storage")" = "$inode" ] || { echo "FAIL: the exit save did not write in place"; exit 1; }
layout() {
  "$inspector" "$storage" cat Setup400 | cmp -s - <(printf '\001\000') ||
    { echo "FAIL: $1 lost the keyboard layout chosen"; exit 1; }
}
layout "the session's end"

mkdir "$storage.journal"
printf '\002Farewell\000\000Text\0001.00\000\000\003another resource\n' >"$data/farewell.rsc"
printf 'echo cut> "%s"\r\n' "Z:${storage//\//\\}" >"$tmp/cut.bat"
during='"$wine" cmd /c "Z:${tmp//\//\\}\\cut.bat" >/dev/null 2>&1; [ "$(stat -c %s "$storage")" = 134217728 ]'
run sixth "$out/wine_main_expected.png" || exit 1
rmdir "$storage.journal"
"$inspector" "$storage" check || { echo "FAIL: the whole-file save over the mapped file"; exit 1; }
layout "the whole-file save"
"$inspector" "$storage" ls | grep -qF "Farewell" || { echo "FAIL: the resource taken in is lost"; exit 1; }
echo "wine window test passed"
