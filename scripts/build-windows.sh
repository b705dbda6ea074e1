#!/usr/bin/env bash
# Cross-builds the Windows program: build-win32 (i686, the product) and
# build-win64 (x86_64, run under Wine by the tests).
set -euo pipefail
cd "$(dirname "$0")/.."
for target in win32:mingw-i686 win64:mingw-x86_64; do
  dir=build-${target%%:*}
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/${target#*:}.cmake" >/dev/null
  cmake --build "$dir" -j 2
done
