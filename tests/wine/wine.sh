# Sourced by the Wine tests; brings tests/gui/xvfb.sh with it.
. "$(dirname "${BASH_SOURCE[0]}")/../gui/xvfb.sh"
# wine_scratch [SCREEN]: the 64-bit Wine's programs (`wine`, `wineserver`),
# a scratch folder `tmp` holding a fresh prefix (WINEPREFIX) made under a
# started Xvfb (start_xvfb SCREEN); the programs in $app, the prefix's
# processes, Xvfb and the folder go at exit.
wine_scratch() {
  wine=/usr/lib/wine/wine64
  [ -x "$wine" ] || wine=$(command -v wine64) || fail "no wine64"
  wineserver=/usr/lib/wine/wineserver
  [ -x "$wineserver" ] || wineserver=$(command -v wineserver)
  tmp=$(mktemp -d)
  app=""
  trap 'kill $app 2>/dev/null; WINEPREFIX="$tmp/prefix" timeout 10 "$wineserver" -k 2>/dev/null; stop_xvfb; rm -rf "$tmp"' EXIT
  export WINEPREFIX="$tmp/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  start_xvfb "${1:-}" || exit 1
  timeout 180 "$wine" wineboot --init >/dev/null 2>&1 || fail "wineboot"
}

# wine_window [WIDTHxHEIGHT]: waits for the window Wine shows for the
# program, sized to its client area (800x600 unless given) and centred
# right after, and sets `window`, `left` and `top` as find_window does.
wine_window() {
  local size
  search_window 60 --name '^Trelvan Assistant$' || { echo "no window titled Trelvan Assistant"; return 1; }
  for _ in $(seq 100); do
    size=$(window_size)
    [ "$size" = "${1:-800x600}" ] && break
    sleep 0.1
  done
  [ "$size" = "${1:-800x600}" ] || { echo "client area $size, not ${1:-800x600}"; return 1; }
  sleep 0.5
  window_place
}
