#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program's main job: for now the inspect
# tool on the shipped sample patterns (what the viewer will make of each file).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
"$root/scripts/build.sh"
"$root/build/ostrel-inspect" "$root"/samples/*.*
