#!/usr/bin/env bash
# Builds the core tests with the address and undefined-behaviour sanitizers and runs them;
# with --thread, with ThreadSanitizer instead (the loading and counting threads).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = "--thread" ]; then
  build=$root/build-tsan
  # Tests are listed when ctest runs, not at build time: the listing would run the binary
  # under the sanitizer while building.
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread \
    -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST \
    -DOSTREL_WITH_UI=OFF -DOSTREL_WITH_BENCH=OFF >/dev/null
  cmake --build "$build" -j"$(nproc)" --target core_tests ostrel-inspect
  export TSAN_OPTIONS=halt_on_error=1
  "$build/core_tests" --gtest_brief=1
  exit
fi
build=$root/build-sanitize
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DOSTREL_SANITIZE=ON \
  -DOSTREL_WITH_UI=OFF -DOSTREL_WITH_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target core_tests ostrel-inspect
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$build/core_tests" --gtest_brief=1
