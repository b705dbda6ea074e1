#!/usr/bin/env bash
# Builds one media fuzz target (bmp_fuzz, wav_fuzz, light_effect_fuzz) with
# clang, seeds it from the media golden folders and fuzzes for a bounded
# time. Fails on any crash, sanitizer report or broken property.
#
#   run_media_fuzz.sh BUILD_DIR TARGET     TRELVAN_FUZZ_SECONDS (default 30) sets the time
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="$1"
target="$2"
seconds="${TRELVAN_FUZZ_SECONDS:-30}"
golden="$here/../media/golden"

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >"$build.$target.configure.log" 2>&1 ||
  { cat "$build.$target.configure.log" >&2; exit 1; }
ninja -C "$build" "$target"

seeds="$build/$target-seeds"
work="$build/$target-corpus"
rm -rf "$seeds" "$work"
mkdir -p "$seeds" "$work" "$build/artifacts"
# The first byte chooses the variant (segments, version); the rest is the file.
case "$target" in
  bmp_fuzz) for f in "$golden"/picture/*.bmp; do cp "$f" "$seeds/"; done ;;
  wav_fuzz) for f in "$golden"/sound/*.wav; do
              { printf '\376'; cat "$f"; } >"$seeds/$(basename "$f")"; done ;;
  light_effect_fuzz) for f in "$golden"/light_effect/*.in; do
              v=$(awk -v n="$(basename "$f" .in)" '$1 == n { print $2 }' "$golden/light_effect/cases.txt")
              { if [ "${v%%.*}" = 2 ]; then printf '\001'; else printf '\000'; fi; cat "$f"; } \
                >"$seeds/$(basename "$f")"; done ;;
  *) echo "run_media_fuzz.sh: unknown target $target" >&2; exit 2 ;;
esac

"$build/$target" -runs=0 "$seeds"
"$build/$target" "$work" "$seeds" \
  -max_total_time="$seconds" -max_len=300000 -timeout=20 -rss_limit_mb=4096 \
  -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-"
echo "$target: no crash in ${seconds} s"
