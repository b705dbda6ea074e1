#!/usr/bin/env bash
# Builds a fuzz target (storage by default, or link) with clang in its own
# build folder, writes its seed corpus and fuzzes for a bounded time. Fails
# on any crash, sanitizer report, broken property or slow input.
#
#   run_fuzz.sh [BUILD_DIR] [TARGET]     TRELVAN_FUZZ_SECONDS (default 30) sets the time
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${1:-$here/../../build-fuzz}"
seconds="${TRELVAN_FUZZ_SECONDS:-30}"
target="${2:-storage}"
case "$target" in
  storage) max_len=65536 ;;
  link) max_len=8192 ;;
  *) echo "run_fuzz.sh: no fuzz target $target" >&2; exit 2 ;;
esac

for tool in clang clang++ cmake ninja; do
  if ! command -v "$tool" >/dev/null; then
    echo "run_fuzz.sh: $tool not found (the fuzz build needs clang, libclang-rt-14-dev, cmake, ninja)" >&2
    exit 1
  fi
done

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >"$build.configure.log" 2>&1 ||
  { cat "$build.configure.log" >&2; exit 1; }
ninja -C "$build" "${target}_fuzz" "${target}_fuzz_seeds"

seeds="$build/seeds"
work="$build/corpus"
rm -rf "$seeds" "$work"
mkdir -p "$seeds" "$work" "$build/artifacts"
"$build/${target}_fuzz_seeds" "$seeds"

# Every seed first, once, on its own: a failure here is a plain bug.
"$build/${target}_fuzz" -runs=0 "$seeds"

"$build/${target}_fuzz" "$work" "$seeds" \
  -max_total_time="$seconds" -max_len="$max_len" -timeout=20 -rss_limit_mb=4096 \
  -print_final_stats=1 -artifact_prefix="$build/artifacts/"
echo "$target fuzz: no crash in ${seconds} s"
