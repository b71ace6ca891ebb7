#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite through CTest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" --test
"$root/scripts/build.sh"
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
cd "$root/build"
ctest --output-on-failure -j"$(nproc)"
# The same core tests once more under a comma-decimal locale: no number text may change.
if locale -a 2>/dev/null | grep -qi '^de_DE.utf8$'; then
  LC_ALL=de_DE.UTF-8 ./core_tests --gtest_brief=1
fi
