#!/usr/bin/env bash
# A terminal closed (SIGHUP) and a stop asked (SIGTERM) end the program the
# way closing the window does: status 0, the session's storage saved (the
# revision record its start wrote is in the file) and no journal left.
#   signal_test.sh PROGRAM INSPECTOR RESOURCES
program=$1 inspector=$2 resources=$3
source "$(dirname "$0")/xvfb.sh"
start_xvfb || exit 1
data=$(mktemp -d)
trap 'kill $app 2>/dev/null; stop_xvfb; rm -rf "$data"' EXIT
for sig in HUP TERM; do
  rm -rf "${data:?}"/*
  TRELVAN_DATA_DIR="$data" TRELVAN_RESOURCE_DIR="$resources" "$program" &
  app=$!
  timeout 20 xdotool search --sync --name '^Trelvan Assistant$' >/dev/null ||
    { echo "FAIL: no window before SIG$sig"; exit 1; }
  sleep 1  # the first ticks: the start-up's changes committed
  kill -"$sig" "$app"
  wait_exit "$app" 30; app=""
  [ "$EXIT_STATUS" = 0 ] || { echo "FAIL: SIG$sig ended it with status $EXIT_STATUS"; exit 1; }
  storage="$data/Trelvan Assistant Storage 400"
  "$inspector" "$storage" ls | grep -q "Revision" || { echo "FAIL: SIG$sig: nothing saved"; exit 1; }
  [ ! -e "$storage.journal" ] || { echo "FAIL: SIG$sig left the journal"; exit 1; }
done
echo "SIGHUP and SIGTERM save"
