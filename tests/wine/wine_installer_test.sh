#!/usr/bin/env bash
# The 64-bit installer under Wine inside Xvfb, in a fresh prefix:
#   1. a silent install (/S) puts the program, its page files and the
#      uninstaller into Program Files, the Start-menu entry and the desktop
#      shortcut, the installed-programs entry with the version, publisher
#      and size, and an empty data folder;
#   2. the installed program, started on that empty data folder, shows the
#      main page exactly as the headless runner draws it from the built
#      page files; a second silent install closes it before it replaces its
#      files, and it writes its storage and ends with status 0;
#   3. a silent uninstall removes the program, the entries and the
#      shortcuts, and leaves the data folder with the storage in it.
set -uo pipefail
setup=$1; headless=$2; resources=$3; out=$4; version=$5
. "$(dirname "$0")/wine.sh"
[ -f "$setup" ] || fail "$setup not built"
wine_scratch
unset TRELVAN_DATA_DIR TRELVAN_RESOURCE_DIR
drive="$WINEPREFIX/drive_c"
program="$drive/Program Files/Trelvan Assistant"
data="$drive/ProgramData/Varnholt/Trelvan Assistant"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Trelvan Assistant.lnk"
guide_menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Trelvan Assistant Guide.lnk"
desktop="$drive/users/Public/Desktop/Trelvan Assistant.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TrelvanAssistant'

headless_shot "$headless" "$resources" "$out/installed_expected.png" || fail "headless shot"

timeout 120 "$wine" "$(winepath -w "$setup" 2>/dev/null || echo "Z:${setup//\//\\}")" /S ||
  fail "the silent install ended with status $?"
timeout 60 "$wineserver" -w
[ -f "$program/trelvan-assistant.exe" ] && [ -f "$program/uninstall.exe" ] || fail "program not installed"
for rsc in "$resources"/*.rsc; do
  cmp -s "$rsc" "$program/$(basename "$rsc")" || fail "$(basename "$rsc") not installed"
done
[ -f "$menu" ] || fail "no Start-menu entry"
[ -f "$guide_menu" ] || fail "no Start-menu entry for the guide"
cmp -s "$(dirname "$resources")/guide/index.html" "$program/guide/index.html" || fail "the guide is not installed"
[ -f "$desktop" ] || fail "no desktop shortcut"
entry=$(timeout 60 "$wine" reg query "$key" 2>/dev/null | tr -d '\r')
grep -q "DisplayVersion.*REG_SZ.*$version\$" <<<"$entry" || fail "no installed-programs entry of version $version"
grep -q 'Publisher.*REG_SZ.*Varnholt$' <<<"$entry" || fail "the entry names no publisher"
# the size in KiB: what the program folder holds
size=$(sed -n 's/.*EstimatedSize.*REG_DWORD *0x\([0-9a-f]*\)$/\1/p' <<<"$entry")
installed=$(du -sk "$program" | cut -f1)
[ -n "$size" ] && (( 16#$size >= installed * 9 / 10 && 16#$size <= installed * 11 / 10 )) ||
  fail "EstimatedSize '$size' is not the installed ${installed} KiB"
[ -d "$data" ] && [ -z "$(ls -A "$data")" ] || fail "no empty data folder"

# no update server chosen, as after a new install
free_loopback_ports
env -u TRELVAN_SERVER "$wine" 'C:\Program Files\Trelvan Assistant\trelvan-assistant.exe' &
app=$!
wine_window || fail "no window titled Trelvan Assistant"
wait_for_picture "$out/installed_wine.png" "800x600+$left+$top" "$out/installed_expected.png" 15 ||
  fail "the installed program does not show the main page"
timeout 120 "$wine" "$(winepath -w "$setup" 2>/dev/null || echo "Z:${setup//\//\\}")" /S ||
  fail "the silent install over the running program ended with status $?"
wait_exit "$app" 15
app=""
[ "$EXIT_STATUS" = 0 ] || fail "exit status '$EXIT_STATUS' after the installer closed the program"
[ "$(stat -c %s "$data/Trelvan Assistant Storage 400" 2>/dev/null)" = 134217728 ] ||
  fail "no storage file in the data folder"

# The uninstaller copies itself away and returns at once: wait for Wine.
timeout 60 "$wine" 'C:\Program Files\Trelvan Assistant\uninstall.exe' /S || fail "silent uninstall"
timeout 60 "$wineserver" -w
[ ! -e "$program" ] || fail "the program folder is left: $(ls "$program")"
[ ! -e "$menu" ] && [ ! -e "$guide_menu" ] && [ ! -e "$desktop" ] || fail "a shortcut is left"
! timeout 60 "$wine" reg query "$key" >/dev/null 2>&1 || fail "the installed-programs entry is left"
[ "$(stat -c %s "$data/Trelvan Assistant Storage 400" 2>/dev/null)" = 134217728 ] ||
  fail "the uninstall touched the data folder"
echo "wine installer test passed"
