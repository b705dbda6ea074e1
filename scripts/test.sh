#!/usr/bin/env bash
# Installs what is missing, builds all three builds (Linux, Windows 32-bit,
# Windows 64-bit) and the core and unit tests with clang, and runs every
# test layer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRELVAN_TESTS=ON \
      -DTRELVAN_WIN64_EXE="$PWD/build-win64/src/main/win32/trelvan-assistant.exe" \
      -DTRELVAN_WIN32_EXE="$PWD/build-win32/src/main/win32/trelvan-assistant.exe" >/dev/null
cmake --build build -j "$jobs"
if [ -f scripts/build-windows.sh ]; then bash scripts/build-windows.sh; fi
# The Windows installers of those builds, with NSIS.
cmake --build build --target setup-win32 setup-win64
# The core and the unit test programs also build with clang (its warnings as
# errors); built only, about 1.5 minutes on two cores.
CXX=clang++ CC=clang cmake -S . -B build-clang -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-clang -j "$jobs" --target trelvan_core shell_tests storage_tests text_tests \
      ui_tests page_tests platform_tests

ctest --test-dir build --output-on-failure -j "$jobs" --timeout 600
