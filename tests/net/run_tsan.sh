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
ninja -C "$build" net_tests storage_tests
# Runs the tests of PROGRAM that FILTER selects; a filter that selects none fails.
run_tsan() {
  [ "$("$1" --gtest_list_tests --gtest_filter="$2" | grep -c '^  ')" -gt 0 ] || { echo "no test matches $2" >&2; exit 1; }
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" "$1" --gtest_filter="$2"
}
# the channels (receive threads on loopback sockets: the server's and the
# simulator link's) and the downloads (the tick taking the replies a receive
# thread leaves)
run_tsan "$build/tests/net/net_tests" 'ServerChannel.*:SimulatorChannel.*:Downloads.*'
# the journal's writer thread beside the tick
run_tsan "$build/tests/storage/storage_tests" 'JournalTest.JournalThread*'
echo "transport and journal tests: no data race"
