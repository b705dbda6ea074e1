#!/usr/bin/env bash
# The 32-bit installer (this kernel runs no 32-bit code, so it is read, not
# run): a 32-bit NSIS setup holding the 32-bit program, every built page
# file, the user's guide with its pictures and the uninstaller, and nothing
# else beside its own plugins.
set -uo pipefail
setup=$1; resources=$2
fail() { echo "FAIL: $*"; exit 1; }
[ -f "$setup" ] || fail "$setup not built"
[[ $(file -b "$setup") == "PE32 executable (GUI) Intel 80386"* ]] || fail "$setup is $(file -b "$setup")"
listing=$(7z l -slt "$setup") || fail "7z cannot list $setup"
guide=$(dirname "$resources")/guide
expected=$( { echo trelvan-assistant.exe; echo uninstall.exe
              for f in "$resources"/*.rsc; do basename "$f"; done
              echo guide/index.html
              for f in "$guide"/pictures/*.png; do echo "guide/pictures/$(basename "$f")"; done
            } | LC_ALL=C sort)
held=$(awk -F' = ' '/^Path = / && $2 !~ /^\$PLUGINSDIR/ {print $2}' <<<"$listing" | sed 1d | LC_ALL=C sort)
diff <(echo "$expected") <(echo "$held") || fail "the installer's files differ (< expected, > held)"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
7z e -o"$tmp" "$setup" trelvan-assistant.exe >/dev/null || fail "cannot take out the program"
[[ $(file -b "$tmp/trelvan-assistant.exe") == "PE32 executable (GUI) Intel 80386"* ]] ||
  fail "the program inside is $(file -b "$tmp/trelvan-assistant.exe")"
echo "installer files test passed: $(wc -l <<<"$held") files"
