#!/usr/bin/env bash
# The 64-bit program's manifest, read from its resources, declares it aware
# of each monitor's scale (per-monitor v2, per-monitor before it), long
# paths and the common controls 6; under Wine at a scale of 200 % (LogPixels
# 192) its window is 1600 x 1200 and shows the main page doubled pixel for
# pixel, and a hand's click on the doubled exit control ends it with status
# 0, the click mapped back to the frame.
set -uo pipefail
exe=$(realpath "$1"); headless=$2; resources=$3; out=$4
. "$(dirname "$0")/wine.sh"
wine_scratch 2048x1536

7z e -so "$exe" .rsrc/MANIFEST/1 >"$tmp/manifest.xml" 2>/dev/null || fail "no manifest resource"
for line in '>PerMonitorV2, PerMonitor</dpiAwareness>' '>true/pm</dpiAware>' \
            '>true</longPathAware>' 'name="Microsoft.Windows.Common-Controls"' \
            '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>'; do
  grep -qF "$line" "$tmp/manifest.xml" || fail "the manifest lacks $line"
done
grep -qE 'Common-Controls" version="6(\.0){3}"' "$tmp/manifest.xml" || fail "the manifest lacks Common Controls 6"

data="$tmp/data"
mkdir -p "$data"
cp "$resources"/*.rsc "$data/"
export TRELVAN_DATA_DIR="Z:${data//\//\\}"
doubled_main_page "$headless" "$resources" "$out/dpi_expected.png"
timeout 60 "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1 ||
  fail "LogPixels not set"

free_loopback_ports
unset TRELVAN_SERVER
"$wine" "$exe" &
app=$!
wine_window 1600x1200 || fail "no 1600 x 1200 window"
wait_for_picture "$out/dpi.png" "1600x1200+$left+$top" "$out/dpi_expected.png" 15 ||
  fail "the window does not show the main page doubled"
leave_by_exit 20 2
echo "wine dpi test passed"
