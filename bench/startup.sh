#!/bin/bash
# Start-up of the viewer to its first painted window, timed from outside the process.
#
#   bench/startup.sh [PATH/TO/OstrelViewer] [RUNS]
#
# Starts one virtual X server (xvfb-run) and in it the viewer RUNS times (default 10) with
# OSTREL_STARTUP_PROBE=1, which makes the viewer report its first paint on standard error
# and quit at once. Prints each run and the median next to the target. Settings are read
# from a scratch HOME, so the user's own files are neither read nor written.
set -euo pipefail
viewer=${1:-build/OstrelViewer}
runs=${2:-10}
target_ms=300
baseline_ms=550
[ -x "$viewer" ] || { echo "no viewer at $viewer (build it first)" >&2; exit 2; }
command -v xvfb-run >/dev/null || { echo "xvfb-run is missing (apt-get install xvfb xauth)" >&2; exit 2; }
viewer=$(realpath "$viewer")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

HOME="$scratch" XDG_RUNTIME_DIR="$scratch" OSTREL_STARTUP_PROBE=1 \
xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
    viewer=$1; runs=$2
    # Run 0 is the first start, which may find the libraries and fonts outside the page
    # cache; the median is taken over the runs after it.
    for ((i = 0; i <= runs; i++)); do
        start=$(date +%s%N)
        report=$("$viewer" 2>&1 >/dev/null | grep "first paint" || true)
        end=$(date +%s%N)
        echo "$(( (end - start) / 1000 )) ${report:-no first-paint report}"
    done' _ "$viewer" "$runs" > "$scratch/runs.txt"

awk '{ printf "run %2d: %7.1f ms   (%s)\n", NR - 1, $1 / 1000, substr($0, index($0, " ") + 1) }' \
    "$scratch/runs.txt"
median=$(tail -n +2 "$scratch/runs.txt" | sort -n | awk '{ a[NR] = $1 } END {
    if (NR % 2) print a[(NR + 1) / 2] / 1000; else print (a[NR / 2] + a[NR / 2 + 1]) / 2000 }')
printf "start-up to first paint, median of %d: %.1f ms  (target <= %d ms; figure given before this work: about %d ms)\n" \
    "$runs" "$median" "$target_ms" "$baseline_ms"
