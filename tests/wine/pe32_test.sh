#!/usr/bin/env bash
# The 32-bit program is a Win32 GUI executable that needs no DLL beyond the
# system's, and carries its window class name, icons, accelerators, its
# application manifest and the project's VERSION in its version resource.
set -uo pipefail
exe=$1; version=$2
[ -f "$exe" ] || { echo "FAIL: $exe not built"; exit 1; }
kind=$(file -b "$exe")
[[ $kind == "PE32 executable (GUI) Intel 80386"* ]] || { echo "FAIL: $exe is '$kind'"; exit 1; }

# The runtime is linked in: every imported DLL is one of Windows' own.
dlls=$(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}')
[ -n "$dlls" ] || { echo "FAIL: no import table"; exit 1; }
for dll in $dlls; do
  case $dll in
    kernel32.dll|user32.dll|gdi32.dll|msvcrt.dll|advapi32.dll|ws2_32.dll|wsock32.dll|setupapi.dll|hid.dll|winmm.dll|shell32.dll) ;;
    *) echo "FAIL: imports $dll"; exit 1 ;;
  esac
done

rc=$(i686-w64-mingw32-windres -i "$exe" -O rc 2>/dev/null)
grep -q '109, "VARNHOLTASSISTANT"' <<<"$rc" || { echo "FAIL: no string 109"; exit 1; }
grep -q '^107 14 ' <<<"$rc" || { echo "FAIL: no icon 107"; exit 1; }
grep -q '^108 14 ' <<<"$rc" || { echo "FAIL: no icon 108"; exit 1; }
grep -q '^109 ACCELERATORS' <<<"$rc" || { echo "FAIL: no accelerator table 109"; exit 1; }
grep -q '^1 24 ' <<<"$rc" || { echo "FAIL: no application manifest"; exit 1; }
grep -q "FILEVERSION ${version//./, }, 0" <<<"$rc" && grep -q "\"ProductVersion\", \"$version\"" <<<"$rc" ||
  { echo "FAIL: the version resource does not say $version"; exit 1; }
echo "pe32 test passed: $kind; imports $(echo $dlls)"
