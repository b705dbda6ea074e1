#!/usr/bin/env bash
# Builds the transport and journal tests with ThreadSanitizer in their own
# build folder and runs them: the receive threads and the tick share the
# channels' state, the journal's writer and the tick its ring.
#
#   run_tsan.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$here/../.."
build="${1:-$root/build-tsan}"
mkdir -p "$build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=thread -g" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" \
  >"$build/configure.log" 2>&1 || { cat "$build/configure.log" >&2; exit 1; }
ninja -C "$build" net_tests link_tests storage_tests
# the channels (receive threads on loopback sockets) and the downloads (the
# tick taking the replies a receive thread leaves)
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" "$build/tests/net/net_tests" \
  --gtest_filter='ServerChannel.*:SimulatorChannel.*:Downloads.*'
TSAN_OPTIONS="halt_on_error=1" "$build/tests/link/link_tests" --gtest_filter='HandheldLink.Simulator*'
# the journal's writer thread beside the tick
TSAN_OPTIONS="halt_on_error=1" "$build/tests/storage/storage_tests" \
  --gtest_filter='JournalTest.JournalThread*'
echo "transport and journal tests: no data race"
