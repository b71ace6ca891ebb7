#!/usr/bin/env bash
# Builds the core tests with the address and undefined-behaviour sanitizers and runs them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-sanitize
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DOSTREL_SANITIZE=ON \
  -DOSTREL_WITH_UI=OFF -DOSTREL_WITH_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target core_tests ostrel-inspect
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$build/core_tests" --gtest_brief=1
