#!/usr/bin/env bash
# The fuzz targets: a clang build of their own, then bounded runs.
#
#   run_fuzz.sh build BUILD_DIR          configures and builds every target
#   run_fuzz.sh run BUILD_DIR TARGET     fuzzes TARGET (e.g. storage) for
#                                        TRELVAN_FUZZ_SECONDS (default 12) s
#                                        from TRELVAN_FUZZ_SEED (default 1;
#                                        0 takes a new one each run)
#
# A run first replays the target's seeds (written by the target itself) and
# the inputs kept in regressions/TARGET, each once; it fails on any crash,
# sanitizer report, broken property or slow input.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
mode="$1" build="$2"

if [ "$mode" = build ]; then
  for tool in clang clang++ cmake ninja; do
    command -v "$tool" >/dev/null ||
      { echo "run_fuzz.sh: $tool not found (the fuzz build needs clang, libclang-rt-14-dev)" >&2; exit 1; }
  done
  mkdir -p "$build"
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log" >&2; exit 1; }
  exec ninja -C "$build" -j "${TRELVAN_FUZZ_JOBS:-2}"
fi

target="$3"
seconds="${TRELVAN_FUZZ_SECONDS:-12}"
fuzzer="$build/${target}_fuzz"
seeds="$build/$target/seeds" work="$build/$target/corpus" artifacts="$build/$target/artifacts"
rm -rf "$seeds" "$work"
mkdir -p "$seeds" "$work" "$artifacts"
TRELVAN_FUZZ_SEEDS="$seeds" "$fuzzer"
regressions=()
[ -d "$here/regressions/$target" ] && regressions=("$here/regressions/$target")
# A fixed seed makes the test's run the same each time, so the test fails
# because of a change, not because one run went further than another; a
# hunt for new inputs runs longer from new seeds (TRELVAN_FUZZ_SEED=0).
seed="${TRELVAN_FUZZ_SEED:-1}"
# Inputs as long as the largest seed, unless the target takes longer ones.
max_len=()
[ "$target" = link ] && max_len=(-max_len=8192)

# Runs the fuzzer with ARGS, its output kept in a log. On a failure the
# log's end (the report, the input's name, the seed), without the progress
# lines before it, is what the run shows, so a CI log's first lines hold it.
log="$build/$target/fuzz.log"
fuzz() {
  "$fuzzer" "$@" >"$log" 2>&1 && return 0
  echo "$target fuzz: failed; the end of its log ($log):"
  grep -v -E '^#[0-9]+[[:space:]]+(NEW|REDUCE|RELOAD|pulse|INITED)' "$log" | tail -n 60
  grep -m 1 '^INFO: Seed:' "$log"
  exit 1
}
# Every seed and kept input once on its own: a failure here is a plain bug.
fuzz -runs=0 "$seeds" "${regressions[@]}" -artifact_prefix="$artifacts/"
fuzz "$work" "$seeds" "${regressions[@]}" "${max_len[@]}" -max_total_time="$seconds" -seed="$seed" -timeout=20 \
  -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$artifacts/"
grep '^stat::' "$log"
echo "$target fuzz: no crash in $seconds s"
