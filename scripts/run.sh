#!/usr/bin/env bash
# Installs what is missing, builds the Linux program and starts it. Unless
# TRELVAN_SERVER names an update server, the stand-in update server serves
# the sample catalogue on 127.0.0.1:4608 while the program runs, and
# TRELVAN_SERVER names it for the program (over a server chosen on the
# setup page).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh run
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
# The program and its page files and picture collections, which it takes
# from build/resources when run from the build.
cmake --build build --target trelvan-assistant resources

if [ -z "${TRELVAN_SERVER:-}" ]; then
  cmake --build build --target trelvan-update-server server-catalogue
  # The stand-in holds 127.0.0.1:4608, so the program's end of the server
  # channel takes the next port.
  export TRELVAN_SERVER_LOCAL_PORT="${TRELVAN_SERVER_LOCAL_PORT:-4609}"
  export TRELVAN_SERVER=127.0.0.1:4608
  ./build/tools/update-server/trelvan-update-server build/resources/server --port 4608 \
    >build/update-server.log 2>&1 &
  server_pid=$!
  trap 'kill -TERM "$server_pid" 2>/dev/null; wait "$server_pid" 2>/dev/null || true' EXIT
  sleep 0.2
  if ! kill -0 "$server_pid" 2>/dev/null; then
    echo "the stand-in update server did not start (see build/update-server.log)" >&2
  fi
fi

status=0
./build/src/main/linux/trelvan-assistant || status=$?
exit "$status"
