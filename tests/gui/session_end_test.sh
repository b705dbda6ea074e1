#!/usr/bin/env bash
# Every orderly end keeps a change made in the window: a terminal closed
# (SIGHUP), a stop asked (SIGTERM), the exit control pressed while a message
# box is open, and the X server going away (as at logout). Each run ticks
# the keyboard-layout switch of the setup page and goes back, which stores
# "Setup400"; after the end the status is 0, the storage file itself holds
# the switch (the exit save ran: no journal is left to replay) and, for the
# box, the program ended while the box was still open. Last, the X server
# goes away while SDL takes the window down, after the exit save: the
# program still ends, with status 0, at once.
#   session_end_test.sh PROGRAM INSPECTOR RESOURCES TEARDOWN_PROBE
set -uo pipefail
program=$1 inspector=$2 resources=$3 probe=$4
. "$(dirname "$0")/xvfb.sh"
start_xvfb || exit 1
use_data_folder "$resources" || exit 1
export TRELVAN_RESOURCE_DIR="$resources"
free_loopback_ports
journal="$storage.journal"
# journal_past BYTES: waits until the journal holds more than BYTES, that
# is until a tick has committed a change after that point.
journal_past() {
  for _ in $(seq 100); do
    [ "$(stat -c %s "$journal" 2>/dev/null || echo 0)" -gt "$1" ] && return 0
    sleep 0.1
  done
  return 1
}

for end in HUP TERM box X; do
  rm -rf "${data:?}"/*
  # A resource file the start cannot take in: its message box opens at start.
  [ "$end" = box ] && printf 'not a resource file' >"$data/Broken.rsc"
  start_window "$end" "$program"
  journal_past 28 || fail "$end: the start's changes never reached the journal"
  before=$(stat -c %s "$journal")
  tap 515 536   # Setup
  tap 305 175   # the keyboard-layout switch
  tap 400 536   # Back: stores the setup
  journal_past "$before" || fail "$end: the setup's change never reached the journal"
  case $end in
    HUP|TERM) kill -"$end" "$app" ;;
    box)
      [ -n "$(boxes)" ] || fail "no message box open"
      tap 705 536 ;;  # Exit
    X) kill "$XVFB_PID" ;;
  esac
  wait_exit "$app" 30; app=""
  [ "$EXIT_STATUS" = 0 ] || fail "$end: status $EXIT_STATUS"
  [ ! -e "$journal" ] || fail "$end: the journal is left, so the exit save did not run"
  "$inspector" "$storage" cat Setup400 | cmp -s - <(printf '\001\000') ||
    fail "$end: the storage file does not hold the keyboard layout chosen"
  if [ "$end" = box ]; then
    [ -n "$(boxes)" ] || fail "the box was closed before the program ended"
    for b in $(boxes); do close_window "$b"; done
  fi
done

start_xvfb || exit 1
start_window teardown "$probe" "$XVFB_PID"
kill -TERM "$app"
wait_exit "$app" 10
[ "$EXIT_STATUS" = 0 ] || { kill -9 "$app"; fail "teardown: status $EXIT_STATUS"; }
echo "SIGHUP, SIGTERM, exit beside a box and a lost X server each keep the change"
