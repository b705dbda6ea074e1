# Sourced by the window tests: starts a private Xvfb and sets DISPLAY;
# stop_xvfb ends it.
start_xvfb() {
  local fifo; fifo=$(mktemp -u); mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local number; read -r -t 20 number <"$fifo" || { echo "Xvfb did not start"; rm -f "$fifo"; return 1; }
  rm -f "$fifo"
  export DISPLAY=":$number"
}
stop_xvfb() { [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null; wait "$XVFB_PID" 2>/dev/null || true; }

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

# all_white PNG GEOMETRY: true when every pixel in the area is white.
all_white() {
  [ "$(convert "$1" -crop "$2" +repage -format '%[fx:minima]' info:)" = "1" ]
}
