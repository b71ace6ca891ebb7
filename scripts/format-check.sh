#!/usr/bin/env bash
# Fails when a C++ file of the project differs from what the root .clang-format makes of it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench fuzz -name '*.cpp' -o -name '*.h')
if ! clang-format --dry-run --Werror "${files[@]}"; then
  echo "Unformatted files above: run  clang-format -i \$(git ls-files '*.cpp' '*.h')" >&2
  exit 1
fi
echo "format: ${#files[@]} files clean"
