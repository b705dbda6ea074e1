#!/usr/bin/env bash
# The 64-bit installer under Wine inside Xvfb, in a fresh prefix:
#   1. a silent install (/S) puts the program, its page files and the
#      uninstaller into Program Files, the Start-menu entry and the desktop
#      shortcut, the installed-programs entry with the version, and an empty
#      data folder;
#   2. the installed program, started on that empty data folder, shows the
#      main page exactly as the headless runner draws it from the built
#      page files, and writes its storage when its window is closed;
#   3. a silent uninstall removes the program, the entries and the
#      shortcuts, and leaves the data folder with the storage in it.
set -uo pipefail
setup=$1; headless=$2; resources=$3; out=$4; version=$5
here=$(dirname "$0")
. "$here/../gui/xvfb.sh"
mkdir -p "$out"
fail() { echo "FAIL: $*"; exit 1; }
[ -f "$setup" ] || fail "$setup not built"
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64) || fail "no wine64"
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

tmp=$(mktemp -d)
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  WINEPREFIX="$tmp/prefix" timeout 10 "$wineserver" -k 2>/dev/null
  stop_xvfb
  rm -rf "$tmp"
}
trap cleanup EXIT
export WINEPREFIX="$tmp/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset TRELVAN_DATA_DIR TRELVAN_RESOURCE_DIR
drive="$WINEPREFIX/drive_c"
program="$drive/Program Files/Trelvan Assistant"
data="$drive/ProgramData/Varnholt/Trelvan Assistant"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Trelvan Assistant.lnk"
desktop="$drive/users/Public/Desktop/Trelvan Assistant.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TrelvanAssistant'

start_xvfb || exit 1
headless_shot "$headless" "$resources" "$out/installed_expected.png" || fail "headless shot"
timeout 180 "$wine" wineboot --init >/dev/null 2>&1 || fail "wineboot"

timeout 120 "$wine" "$(winepath -w "$setup" 2>/dev/null || echo "Z:${setup//\//\\}")" /S ||
  fail "the silent install ended with status $?"
timeout 60 "$wineserver" -w
[ -f "$program/trelvan-assistant.exe" ] && [ -f "$program/uninstall.exe" ] || fail "program not installed"
for rsc in "$resources"/*.rsc; do
  cmp -s "$rsc" "$program/$(basename "$rsc")" || fail "$(basename "$rsc") not installed"
done
[ -f "$menu" ] || fail "no Start-menu entry"
[ -f "$desktop" ] || fail "no desktop shortcut"
timeout 60 "$wine" reg query "$key" /v DisplayVersion 2>/dev/null | grep -q "$version" ||
  fail "no installed-programs entry of version $version"
[ -d "$data" ] && [ -z "$(ls -A "$data")" ] || fail "no empty data folder"

# The channels on free loopback ports of their own.
read -r p1 p2 p3 p4 < <(python3 -c '
import socket
s = [socket.socket(socket.AF_INET, socket.SOCK_DGRAM) for _ in range(4)]
for x in s: x.bind(("127.0.0.1", 0))
print(*[x.getsockname()[1] for x in s])')
TRELVAN_SIMULATOR_PORTS="$p1:$p2" TRELVAN_SIMULATOR_ADDRESS=127.0.0.1 \
  TRELVAN_SERVER="127.0.0.1:$p3" TRELVAN_SERVER_LOCAL_PORT="$p4" \
  "$wine" 'C:\Program Files\Trelvan Assistant\trelvan-assistant.exe' &
app=$!
window=$(timeout 60 xdotool search --sync --name '^Trelvan Assistant$' | head -n 1)
[ -n "$window" ] || fail "no window titled Trelvan Assistant"
# The window is sized and centred right after it is shown.
for _ in $(seq 100); do
  geometry=$(xwininfo -id "$window")
  [ "$(awk '/Width:/ {print $2}' <<<"$geometry")x$(awk '/Height:/ {print $2}' <<<"$geometry")" = 800x600 ] && break
  sleep 0.1
done
left=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$geometry")
top=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$geometry")
wait_for_picture "$out/installed_wine.png" "800x600+$left+$top" "$out/installed_expected.png" 15 ||
  fail "the installed program does not show the main page"
python3 "$here/../gui/close_window.py" "$window"
wait_exit "$app" 15
app=""
[ "$EXIT_STATUS" = 0 ] || fail "exit status '$EXIT_STATUS' after closing"
[ "$(stat -c %s "$data/Trelvan Assistant Storage 400" 2>/dev/null)" = 134217728 ] ||
  fail "no storage file in the data folder"

# The uninstaller copies itself away and returns at once: wait for Wine.
timeout 60 "$wine" 'C:\Program Files\Trelvan Assistant\uninstall.exe' /S || fail "silent uninstall"
timeout 60 "$wineserver" -w
[ ! -e "$program" ] || fail "the program folder is left: $(ls "$program")"
[ ! -e "$menu" ] && [ ! -e "$desktop" ] || fail "a shortcut is left"
! timeout 60 "$wine" reg query "$key" >/dev/null 2>&1 || fail "the installed-programs entry is left"
[ "$(stat -c %s "$data/Trelvan Assistant Storage 400" 2>/dev/null)" = 134217728 ] ||
  fail "the uninstall touched the data folder"
echo "wine installer test passed"
