#!/usr/bin/env bash
# Builds the project loader fuzz target with clang in its own build folder,
# seeds it with the data parts of the golden project files and fuzzes for a
# bounded time. Fails on any crash, sanitizer report or broken property.
#
#   run_project_fuzz.sh [BUILD_DIR]   TRELVAN_FUZZ_SECONDS (default 30) sets the time
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${1:-$here/../../build-fuzz}"
seconds="${TRELVAN_FUZZ_SECONDS:-30}"

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >"$build.configure.log" 2>&1 ||
  { cat "$build.configure.log" >&2; exit 1; }
ninja -C "$build" project_fuzz

seeds="$build/project-seeds"
work="$build/project-corpus"
rm -rf "$seeds" "$work"
mkdir -p "$seeds" "$work" "$build/artifacts"
# The data part follows the FileHeader, which ends with the byte 0x03.
for f in "$here"/../projects/golden/*.bin; do
  python3 -c 'import sys; b = open(sys.argv[1], "rb").read(); open(sys.argv[2], "wb").write(b[b.index(3) + 1:])' \
    "$f" "$seeds/$(basename "$f")"
done

"$build/project_fuzz" -runs=0 -artifact_prefix="$build/artifacts/project-" "$seeds"
"$build/project_fuzz" "$work" "$seeds" \
  -max_total_time="$seconds" -max_len=2048 -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$build/artifacts/project-"
echo "project fuzz: no crash in ${seconds} s"
