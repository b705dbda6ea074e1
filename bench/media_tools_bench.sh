#!/usr/bin/env bash
# The inspector's media imports beside the common tool doing the same kind
# of work on the same file, in one run (median of RUNS, default 5):
#   add-picture of a 480 x 180 BMP    vs  convert FILE -scale 50% out.bmp
#   add-sound of a one-minute WAV     vs  sox FILE -r 22050 out.wav
# An add into an existing storage file writes the blocks it changed in
# place (the picture is removed again between runs, untimed); an add into a
# new storage file also formats and writes the whole 128 MB file, which a
# put of a 20-byte file measures alone. The conversions alone, inside the
# program, are in media_bench.
#   media_tools_bench.sh BUILD_DIR
set -euo pipefail
build=${1:-build}
tool="$build/tools/storage/trelvan-storage"
runs=${RUNS:-5}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

convert -size 480x180 gradient:navy-orange -type TrueColor -alpha off "$tmp/Bench.bmp"
sox -n -r 44100 -b 16 -c 1 "$tmp/minute.wav" synth 60 sine 440 vol 0.5

# median_ms COMMAND...: the median wall time of RUNS runs, in milliseconds;
# `before`, when set, runs untimed before each.
before=true
median_ms() {
  local times=()
  for _ in $(seq "$runs"); do
    local start end
    $before >/dev/null 2>&1 || true
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    times+=($(( (end - start) / 1000000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p"
}
add_picture() { rm -f "$tmp/new"; "$tool" "$tmp/new" add-picture "$tmp/Bench.bmp"; }
add_sound() { rm -f "$tmp/new"; "$tool" "$tmp/new" add-sound minute "$tmp/minute.wav"; }
put_nothing() { rm -f "$tmp/new"; "$tool" "$tmp/new" put "$tmp/empty.rsc"; }
printf '\002Empty\000\000Test\0001.00\000\000\003' >"$tmp/empty.rsc"

printf '%-52s %8s\n' "operation" "ms"
printf '%-52s %8s\n' "put of a 20-byte file into a new storage file" "$(median_ms put_nothing)"
printf '%-52s %8s\n' "add-picture into a new storage file" "$(median_ms add_picture)"
"$tool" "$tmp/existing" put "$tmp/empty.rsc" >/dev/null
before() { "$tool" "$tmp/existing" rm Bench; }
before=before
picture=$(median_ms "$tool" "$tmp/existing" add-picture "$tmp/Bench.bmp")
before=true
convert=$(median_ms convert "$tmp/Bench.bmp" -scale 50% "$tmp/out.bmp")
printf '%-52s %8s\n' "add-picture into an existing storage file" "$picture"
printf '%-52s %8s\n' "convert -scale 50%" "$convert"
printf '%-52s %8s\n' "add-picture (existing) / convert (aim: at most 2)" \
  "$(awk -v a="$picture" -v c="$convert" 'BEGIN { printf "%.2f", (c > 0 ? a / c : 0) }')"
printf '%-52s %8s\n' "add-sound 60 s into a new storage file" "$(median_ms add_sound)"
printf '%-52s %8s\n' "sox -r 22050 60 s" "$(median_ms sox "$tmp/minute.wav" -r 22050 "$tmp/out.wav")"
printf 'load average %s\n' "$(cut -d" " -f1-3 /proc/loadavg)"
