# Sourced by the window tests: starts a private Xvfb and sets DISPLAY;
# stop_xvfb ends it.
gui_dir=$(dirname "${BASH_SOURCE[0]}")
# The pictures `begin` and `settle` compare are this test's own: the window
# tests run side by side, and pictures shared through $out passed one
# test's change off as another's (or hid it).
step_dir=$(mktemp -d)
fail() { echo "FAIL: $*"; exit 1; }
# close_window WINDOW: asks it to close, as a window manager's close button does.
close_window() { python3 "$gui_dir/close_window.py" "$1"; }
start_xvfb() {  # [WIDTHxHEIGHT]: the screen, 1024x768 unless given
  local fifo; fifo=$(mktemp -u); mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${1:-1024x768}x24" -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local number; read -r -t 20 number <"$fifo" || { echo "Xvfb did not start"; rm -f "$fifo"; return 1; }
  rm -f "$fifo"
  export DISPLAY=":$number"
}
stop_xvfb() {
  rm -rf "$step_dir"
  [ -n "${SERVER_STUB_PID:-}" ] && kill "$SERVER_STUB_PID" 2>/dev/null
  [ -n "${XVFB_PID:-}" ] || return 0
  kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null || true
}

# wait_exit PID SECONDS: waits for PID (a child of this shell) to end and
# sets EXIT_STATUS to its status, or to "timeout".
wait_exit() {
  local pid=$1 limit=$2 waited=0
  while kill -0 "$pid" 2>/dev/null; do
    sleep 0.1; waited=$((waited + 1))
    if [ "$waited" -ge $((limit * 10)) ]; then EXIT_STATUS=timeout; return; fi
  done
  wait "$pid"; EXIT_STATUS=$?
}

# same_picture SCREEN GEOMETRY REFERENCE: true when the area of the screen
# shot equals the reference picture pixel for pixel.
same_picture() {
  local crop="${1%.png}_area.png"
  convert "$1" -crop "$2" +repage "$crop" && same "$crop" "$3"
}

# headless_shot HEADLESS RESOURCES OUT.png [DATA]: the first frame of the
# main page as the headless runner draws it from the same resource files (on
# the storage of the data folder DATA when given, else a fresh one).
headless_shot() {
  local steps='tick 3'
  # with the server answering, the frame once the connection test is done
  [ -n "${SERVER_STUB_PID:-}" ] && steps='page serverfile Internet Connection Test|3\ntick 12'
  TRELVAN_DATA_DIR="${4:-}" "$1" --output "$(dirname "$3")" ${2:+--resources "$2"} \
    <(printf '%b\nshot %s\n' "$steps" "$(basename "$3")") >/dev/null
}

# wait_for_picture SCREEN GEOMETRY REFERENCE SECONDS: takes screen shots
# until the area equals the reference.
wait_for_picture() {
  local tries=$(( $4 * 2 ))
  for _ in $(seq "$tries"); do
    sleep 0.5
    import -window root "$1"
    same_picture "$1" "$2" "$3" && return 0
  done
  return 1
}

# use_data_folder RESOURCES: a fresh data folder holding the page files,
# TRELVAN_DATA_DIR for the program; `data` and `storage` name it and its
# storage file. The folder, Xvfb and the programs in $app go at exit.
use_data_folder() {
  data=$(mktemp -d)
  app=""
  trap 'kill $app 2>/dev/null; stop_xvfb; rm -rf "$data"' EXIT
  export TRELVAN_DATA_DIR="$data"
  storage="$data/Trelvan Assistant Storage 400"
  ls "$1"/*.rsc >/dev/null 2>&1 || { echo "FAIL: no .rsc files in $1"; return 1; }
  cp "$1"/*.rsc "$data/"
}

# Steps in the window find_window found, pictures in $step_dir: `begin`
# before an input; `settle` waits until the window changed since and holds still over
# two looks, so a slow tick (a page file read from the storage) or a page
# drawn in two steps never swallows the next input, and fails when the
# program in $app ended instead; `click X Y` presses like a hand at page
# coordinates, the pointer resting first (a move in the press's tick would
# take its place). The pictures are PPM, compared byte for byte; a capture
# that fails is no picture: one left from an earlier step would pass for a
# change.
capture() { rm -f "$1"; import -window "$window" "ppm:$1" 2>/dev/null; }
same() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }
begin() { for _ in $(seq 20); do capture "$step_dir/before.ppm" && return; sleep 0.1; done; fail "no capture"; }
# changed: the window changed since `begin` and held still over two looks
# (about 12 s at most); false when it did not.
changed() {
  local still=0 i now
  rm -f "$step_dir"/now_*.ppm
  for i in $(seq 60); do
    sleep 0.2
    if [ -n "${app:-}" ] && ! kill -0 "${app%% *}" 2>/dev/null; then fail "the program ended instead of: $*"; fi
    now="$step_dir/now_$((i % 2)).ppm"
    if capture "$now" && ! cmp -s "$now" "$step_dir/before.ppm" && cmp -s "$now" "$step_dir/now_$(((i + 1) % 2)).ppm"
    then
      still=$((still + 1))
      [ "$still" = 2 ] && return 0
    else
      still=0
    fi
  done
  return 1
}
settle() { changed "$@" || fail "nothing changed after: $*"; }
press_like_a_hand() {
  xdotool mousemove "$((left + $1))" "$((top + $2))" sleep 0.05 mousedown 1 sleep 0.12 mouseup 1
}
# A click that changed nothing in 12 s is pressed once more, as a hand
# would; one that changes nothing twice fails.
click() {
  begin
  press_like_a_hand "$1" "$2"
  changed "click $1 $2" && return
  echo "nothing changed after click $1 $2: pressed again" >&2
  press_like_a_hand "$1" "$2"
  settle "click $1 $2"
}
# tap X Y: the same press, without waiting on the window.
tap() { press_like_a_hand "$1" "$2"; sleep 0.1; }

# window_size: the client area of $window, as WIDTHxHEIGHT; window_place
# sets `left` and `top`, its place on the screen.
window_size() { xwininfo -id "$window" | awk '/Width:/ {w = $2} /Height:/ {h = $2} END {print w "x" h}'; }
window_place() {
  read -r left top < <(xwininfo -id "$window" |
                       awk '/Absolute upper-left X:/ {x = $4} /Absolute upper-left Y:/ {print x, $4}')
}
# search_window SECONDS XDOTOOL_SEARCH_ARGS...: the first window that
# `xdotool search` finds within SECONDS, asked again every 0.25 s: a window
# that goes while xdotool walks the tree (a setup program's, Wine's own)
# ends that search with an X error, which is no answer.
search_window() {
  local seconds=$1; shift
  window=""
  for _ in $(seq $((seconds * 4))); do
    window=$(xdotool search "$@" 2>/dev/null | head -n 1)
    [ -n "$window" ] && return 0
    sleep 0.25
  done
  return 1
}
# find_window PID: waits for the program's window and sets `window`, and
# `left` and `top`, its client area's place on the screen.
find_window() {
  search_window 20 --all --pid "$1" --name '^Trelvan Assistant$' && window_place
}

# start_window NAME COMMAND...: starts COMMAND as $app and finds its window.
start_window() {
  local name=$1; shift
  "$@" &
  app=$!
  find_window "$app" || fail "$name: no window"
}
# start_showing NAME EXPECTED COMMAND...: start_window, then waits until the
# window shows EXPECTED, the screen kept as $out/NAME.png.
start_showing() {
  local name=$1 expected=$2; shift 2
  start_window "$name" "$@"
  wait_for_picture "$out/$name.png" "800x600+$left+$top" "$expected" 15 ||
    fail "$name: the window does not show $(basename "$expected")"
}

# exit_control HEADLESS RESOURCES: ex, ey, ew and eh, the box of the main
# page's exit control as the page file places it.
exit_control() {
  read -r ex ey ew eh < <(printf 'tick\npage control image 0\n' | TRELVAN_DATA_DIR= "$1" \
                            --resources "$2" /dev/stdin | head -n 1)
  [ -n "${eh:-}" ] || fail "no exit control"
}
# leave_by_exit SECONDS [SCALE]: a hand's click on the exit control of a
# window showing the frame SCALE times (1 unless given); the program, the
# first in $app, ends with status 0 within SECONDS.
leave_by_exit() {
  local scale=${2:-1}
  press_like_a_hand $((scale * (ex + ew / 2))) $((scale * (ey + eh / 2)))
  wait_exit "${app%% *}" "$1"; app=""
  [ "$EXIT_STATUS" = 0 ] || fail "exit status '$EXIT_STATUS' after the exit control"
}
# exit_area PNG: the screen's exit control area; exit_back REFERENCE: true
# once that area shows REFERENCE (within 15 s).
exit_area() { import -window root -crop "${ew}x${eh}+$((left + ex))+$((top + ey))" +repage "$1"; }
exit_back() {
  for _ in $(seq 75); do
    sleep 0.2
    exit_area "$out/exit_now.png"
    same "$out/exit_now.png" "$1" && return 0
  done
  return 1
}
# doubled_main_page HEADLESS RESOURCES OUT.png: the main page as the
# headless runner draws it, scaled by two pixel for pixel, and exit_control.
doubled_main_page() {
  headless_shot "$1" "$2" "${3%.png}_1x.png" || fail "headless shot"
  convert "${3%.png}_1x.png" -filter point -resize 200% "$3" || fail "convert"
  exit_control "$1" "$2"
}
# boxes: the message boxes open on the screen (each a process of its own).
boxes() { xwininfo -root -children | awk '$2 == "\"Message\":" { print $1 }'; }

# free_loopback_ports: the simulator and server channels on free UDP ports
# of 127.0.0.1, so nothing leaves loopback and parallel runs do not meet;
# the server's port is `server_port`, where nothing answers.
free_loopback_ports() {
  local p1 p2 p4
  read -r p1 p2 server_port p4 < <(python3 -c '
import socket
s = [socket.socket(socket.AF_INET, socket.SOCK_DGRAM) for _ in range(4)]
for x in s: x.bind(("127.0.0.1", 0))
ports = [x.getsockname()[1] for x in s]
for x in s: x.close()  # free before they are named: a server may bind one at once
print(*ports, flush=True)')
  export TRELVAN_SIMULATOR_PORTS="$p1:$p2" TRELVAN_SIMULATOR_ADDRESS=127.0.0.1
  # The stand-in handheld runs under a name of this test's own: another one
  # elsewhere on the machine is no handheld of this program's.
  export TRELVAN_SIMULATOR_PROCESS="TX Simulator $$.exe"
  export TRELVAN_SERVER="127.0.0.1:$server_port" TRELVAN_SERVER_LOCAL_PORT="$p4"
}

# use_loopback_ports: free_loopback_ports, with the stand-in update server
# serving the sample catalogue, so the connection test passes and no
# message covers the page; stop_xvfb ends it.
use_loopback_ports() {
  free_loopback_ports
  local log; log=$(mktemp)
  "$TRELVAN_UPDATE_SERVER" "$TRELVAN_CATALOGUE" --port "$server_port" >"$log" &
  SERVER_STUB_PID=$!
  # The program starts only once the server serves (its "serving" line).
  for _ in $(seq 600); do grep -q '^serving' "$log" && break; sleep 0.1; done
  grep -q '^serving' "$log" || echo "the stand-in server did not start"
  rm -f "$log"
}

# make_pictures DIR NAME...: a resource file DIR/NAME~.rsc for each, a
# picture of 20,000 random data bytes after a header of 25 bytes (for
# names of six characters).
make_pictures() {
  local dir=$1 n; shift
  for n in "$@"; do
    { printf '\002%s~\000\000Picture\0001.00\000\000\003' "$n"; head -c 20000 /dev/urandom; } \
      >"$dir/$n~.rsc"
  done
}
