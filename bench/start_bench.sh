#!/usr/bin/env bash
# Start-up on an existing storage file, beside `cat` of the same file, in one
# run under a private Xvfb:
#   - cat: the best of RUNS reads of the 134,217,728-byte storage file (warm cache);
#   - a bare Xlib window (bench/bare_xlib_window.cpp): launch to its first
#     frame, best of RUNS, the floor of any X11 program's start, SDL or not;
#   - SDL loaded (bench/bare_window.cpp --loaded): launch to main(), best of
#     RUNS, what the dynamic loader alone takes for SDL and its libraries;
#   - a bare SDL window (bench/bare_window.cpp): launch to its first frame,
#     best of RUNS, the floor of any SDL program's start on this display;
#   - the program: the time from launch to its first frame that shows the main
#     page (TRELVAN_TRACE_START writes "first frame" on standard error then),
#     best and median of RUNS starts, and the peak resident memory (VmHWM) at
#     that moment.
# The program is killed after its first frame, so no exit save runs.
#
#   bash bench/start_bench.sh [BUILD_DIR] [RUNS]     (BUILD_DIR default: build)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build}
runs=${2:-7}
program=$build/src/main/linux/trelvan-assistant
inspector=$build/tools/storage/trelvan-storage
bare=$build/bench/bare_window
xlib=$build/bench/bare_xlib_window
resources=$build/resources
for f in "$program" "$inspector" "$bare" "$xlib"; do [ -x "$f" ] || { echo "missing $f (build it first)"; exit 1; }; done
. "$here/../tests/gui/xvfb.sh"

work=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill -9 $pid 2>/dev/null; stop_xvfb; rm -rf "$work"' EXIT
storage="$work/Trelvan Assistant Storage 400"
# A storage that holds the page files, so the first frame is the main page.
for rsc in "$resources"/*.rsc; do "$inspector" "$storage" put "$rsc" >/dev/null || exit 1; done
[ -f "$storage" ] || { echo "no storage file made (no .rsc files in $resources?)"; exit 1; }

now_us() { echo $(( $(date +%s%N) / 1000 )); }
sorted() { tr ' ' '\n' | sort -n | grep .; }

cat_times=""
for _ in $(seq "$runs"); do
  t0=$(now_us); cat "$storage" >/dev/null; t1=$(now_us)
  cat_times+="$((t1 - t0)) "
done
cat_best=$(sorted <<<"$cat_times" | head -n 1)

start_xvfb || exit 1
mkfifo "$work/err"
exec 3<>"$work/err"
# Launches PROGRAM [ARGS] and sets $took to the microseconds to its "first frame"
# line on fd 3 (its standard error), $last_line to that line, $pid to its pid.
time_first_frame() {
  local t0 t1 line=""
  t0=$(now_us)
  "$@" 2>&3 &
  pid=$!
  while read -r -t 20 -u 3 line; do [[ $line == "first frame"* ]] && break; done
  t1=$(now_us)
  [[ $line == "first frame"* ]] || { echo "no first frame within 20 s from $1" >&2; exit 1; }
  last_line=$line took=$((t1 - t0))
}
stop() { kill -9 "$pid"; wait "$pid" 2>/dev/null; pid=""; }

# The bare window ignores these.
export TRELVAN_TRACE_START=1 TRELVAN_DATA_DIR="$work"
xlib_times=""; loaded_times=""; bare_times=""; frame_times=""; inside=""; peak=0
for _ in $(seq "$runs"); do
  time_first_frame "$xlib"
  stop
  xlib_times+="$took "
  time_first_frame "$bare" --loaded
  stop
  loaded_times+="$took "
  time_first_frame "$bare"
  stop
  bare_times+="$took "
  time_first_frame "$program"
  hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")
  stop
  frame_times+="$took "
  inside+="$(awk '{print $4}' <<<"$last_line") "
  [ "$hwm" -gt "$peak" ] && peak=$hwm
done
xlib_best=$(sorted <<<"$xlib_times" | head -n 1)
loaded_best=$(sorted <<<"$loaded_times" | head -n 1)
bare_best=$(sorted <<<"$bare_times" | head -n 1)
frame_best=$(sorted <<<"$frame_times" | head -n 1)
frame_median=$(sorted <<<"$frame_times" | sed -n "$(( (runs + 1) / 2 ))p")

awk -v size="$(stat -c %s "$storage")" -v runs="$runs" -v cat="$cat_best" \
    -v xlib="$xlib_best" -v loaded="$loaded_best" -v bare="$bare_best" -v best="$frame_best" -v median="$frame_median" -v inside="${inside% }" -v peak="$peak" 'BEGIN {
  printf "storage file            %d bytes\n", size
  printf "cat of the file         %7.1f ms  (best of %d)\n", cat / 1000, runs
  printf "bare Xlib window        %7.1f ms  (best of %d; %.1f times cat)\n", xlib / 1000, runs, xlib / cat
  printf "SDL loaded              %7.1f ms  (best of %d; %.1f times cat)\n", loaded / 1000, runs, loaded / cat
  printf "bare SDL window         %7.1f ms  (best of %d; %.1f times cat)\n", bare / 1000, runs, bare / cat
  printf "launch to first frame   %7.1f ms  (best of %d; median %.1f ms; %.1f times cat, %.1f times the bare window)\n",
         best / 1000, runs, median / 1000, best / cat, best / bare
  printf "  main() to first frame %s ms (each run, as the program measures it)\n", inside
  printf "peak resident memory    %7.1f MiB (at the first frame, highest of %d)\n", peak / 1024, runs
}'
