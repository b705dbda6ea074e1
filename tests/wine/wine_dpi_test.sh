#!/usr/bin/env bash
# The 64-bit program's manifest, read from its resources, declares it aware
# of each monitor's scale (per-monitor v2, per-monitor before it), long
# paths and the common controls 6; under Wine at a scale of 200 % (LogPixels
# 192) its window is 1600 x 1200 and shows the main page doubled pixel for
# pixel, and a hand's click on the doubled exit control ends it with status
# 0, the click mapped back to the frame.
set -uo pipefail
exe=$(realpath "$1"); headless=$2; resources=$3; out=$4
here=$(dirname "$0")
. "$here/../gui/xvfb.sh"
mkdir -p "$out"
fail() { echo "FAIL: $*"; exit 1; }
find_wine || fail "no wine64"
tmp=$(mktemp -d)
app=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  WINEPREFIX="$tmp/prefix" timeout 10 "$wineserver" -k 2>/dev/null
  stop_xvfb
  rm -rf "$tmp"
}
trap cleanup EXIT

7z e -so "$exe" .rsrc/MANIFEST/1 >"$tmp/manifest.xml" 2>/dev/null || fail "no manifest resource"
for line in '>PerMonitorV2, PerMonitor</dpiAwareness>' '>true/pm</dpiAware>' \
            '>true</longPathAware>' 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
            '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>'; do
  grep -qF "$line" "$tmp/manifest.xml" || fail "the manifest lacks $line"
done

export WINEPREFIX="$tmp/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
data="$tmp/data"
mkdir -p "$data"
cp "$resources"/*.rsc "$data/"
export TRELVAN_DATA_DIR="Z:${data//\//\\}"
start_xvfb 2048x1536 || exit 1
headless_shot "$headless" "$resources" "$out/dpi_expected_1x.png" || fail "headless shot"
convert "$out/dpi_expected_1x.png" -filter point -resize 200% "$out/dpi_expected.png" || fail "convert"
read -r ex ey ew eh < <(printf 'tick\npage control image 0\n' | TRELVAN_DATA_DIR= "$headless" \
                          --resources "$resources" /dev/stdin | head -n 1)
[ -n "${eh:-}" ] || fail "no exit control"
timeout 180 "$wine" wineboot --init >/dev/null 2>&1 || fail "wineboot"
timeout 60 "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1 ||
  fail "LogPixels not set"

free_loopback_ports
unset TRELVAN_SERVER
"$wine" "$exe" &
app=$!
window=$(timeout 60 xdotool search --sync --name '^Trelvan Assistant$' | head -n 1)
[ -n "$window" ] || fail "no window titled Trelvan Assistant"
for _ in $(seq 100); do
  geometry=$(xwininfo -id "$window")
  size=$(awk '/Width:|Height:/ {printf "%s ", $2}' <<<"$geometry")
  [ "$size" = "1600 1200 " ] && break
  sleep 0.1
done
[ "$size" = "1600 1200 " ] || fail "client area $size, not 1600 x 1200"
left=$(awk '/Absolute upper-left X:/ {print $4}' <<<"$geometry")
top=$(awk '/Absolute upper-left Y:/ {print $4}' <<<"$geometry")
wait_for_picture "$out/dpi.png" "1600x1200+$left+$top" "$out/dpi_expected.png" 15 ||
  fail "the window does not show the main page doubled"
xdotool mousemove $((left + 2 * (ex + ew / 2))) $((top + 2 * (ey + eh / 2))) \
  mousedown 1 sleep 0.1 mouseup 1
wait_exit "$app" 20
app=""
[ "$EXIT_STATUS" = 0 ] || fail "exit status '$EXIT_STATUS' after the exit control"
echo "wine dpi test passed"
