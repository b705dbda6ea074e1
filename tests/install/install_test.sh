#!/usr/bin/env bash
# `cmake --install` into a temporary prefix: the layout is exactly the
# expected one, the desktop entry and the AppStream metadata validate, every
# icon has its size, the udev rule gives the handheld to the seat's user,
# the HTML guide carries every picture it shows, and the AppStream
# screenshots are pictures of the guide; the installed program, started
# under Xvfb with an empty data folder, shows the main page pixel for pixel
# as the headless runner draws it from the built page files, with its icon
# and the desktop entry's StartupWMClass as its class on the window, and
# ends with status 0 when its window is closed.
set -uo pipefail
build=$1; headless=$2; out=$3
here=$(dirname "$0")
. "$here/../gui/xvfb.sh"
. "$here/layout.sh"
mkdir -p "$out"
tmp=$(mktemp -d)
app=""
trap 'kill $app 2>/dev/null; stop_xvfb; rm -rf "$tmp"' EXIT

cmake --install "$build" --prefix "$tmp/usr" >/dev/null || fail "cmake --install"
diff <(expected_layout "$build") <(cd "$tmp/usr" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) ||
  fail "the installed files differ from the expected layout (< expected, > installed)"
desktop-file-validate "$tmp/usr/share/applications/"*.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net "$tmp/usr/share/metainfo/"*.xml >/dev/null ||
  fail "appstreamcli validate: $(appstreamcli validate --no-net "$tmp/usr/share/metainfo/"*.xml)"
check_udev_rule "$tmp/usr/lib/udev/rules.d/70-trelvan-assistant.rules" || exit 1
check_guide "$tmp/usr/share/doc/trelvan-assistant/guide" || exit 1
for shot in $(sed -n 's|.*<image [^>]*>.*/\([^/]*\)</image>|\1|p' "$tmp/usr/share/metainfo/"*.xml); do
  [ -s "$tmp/usr/share/doc/trelvan-assistant/guide/pictures/$shot" ] || fail "screenshot $shot is no picture of the guide"
done
for png in "$tmp"/usr/share/icons/hicolor/*/apps/*.png; do
  size=$(basename "$(dirname "$(dirname "$png")")")
  file "$png" | grep -q "${size/x/ x }," || fail "$png is not $size: $(file -b "$png")"
done

start_xvfb || exit 1
headless_shot "$headless" "$build/resources" "$out/installed_expected.png" || fail "headless shot"
mkdir "$tmp/data"
# Nothing in the data folder, no page files but the installed ones, and no
# update server chosen, as after a new install.
free_loopback_ports
start_showing installed "$out/installed_expected.png" \
  env -u TRELVAN_RESOURCE_DIR -u TRELVAN_SERVER TRELVAN_DATA_DIR="$tmp/data" "$tmp/usr/bin/trelvan-assistant"
xprop -id "$window" _NET_WM_ICON | grep -aq "Icon (32 x 32)" || fail "the window has no 32 x 32 icon"
class=$(sed -n 's/^StartupWMClass=//p' "$tmp/usr/share/applications/"*.desktop)
[ -n "$class" ] || fail "the desktop entry names no StartupWMClass"
xprop -id "$window" WM_CLASS | grep -q ", \"$class\"\$" ||
  fail "the window's class is not $class: $(xprop -id "$window" WM_CLASS)"
python3 "$here/../gui/close_window.py" "$window"
wait_exit "$app" 10
app=""
[ "$EXIT_STATUS" = 0 ] || fail "exit status '$EXIT_STATUS' after closing"
[ -e "$tmp/data/Trelvan Assistant Storage 400" ] || fail "no storage file written"
echo "install test passed"
