#!/bin/sh
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 60).
# Usage: scripts/fuzz.sh [SECONDS]
# Fails when a target crashes; the input that did it is left in build-fuzz/artifacts/.
set -eu

seconds="${1:-60}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${OSTREL_FUZZ_BUILD_DIR:-$root/build-fuzz}"
jobs="${OSTREL_JOBS:-2}"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DOSTREL_WITH_FUZZ=ON -DOSTREL_WITH_UI=OFF -DOSTREL_WITH_BENCH=OFF >/dev/null
targets="fuzz_ostrel_text fuzz_verizon_text fuzz_edx_text fuzz_loaders fuzz_nsma_text fuzz_edx_pat_text
         fuzz_basta_text"
# shellcheck disable=SC2086
cmake --build "$build" -j "$jobs" --target $targets make_fuzz_seeds

# Seeds: the shipped samples (good and broken ones) and a few generated files.
mkdir -p "$build/seeds" "$build/artifacts"
"$build/fuzz/make_fuzz_seeds" "$build/seeds"

status=0
for target in $targets; do
    corpus="$build/corpus/$target"
    # An EDX file needs 13 467 lines before it reads at all.
    max_len=65536
    [ "$target" = fuzz_edx_text ] && max_len=262144
    mkdir -p "$corpus"
    echo "== $target: $seconds s"
    if ! "$build/fuzz/$target" "$corpus" "$build/seeds" "$root/samples" \
        -dict="$root/fuzz/pattern.dict" -max_len=$max_len -timeout=5 \
        -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/artifacts/$target-" >"$build/$target.log" 2>&1; then
        echo "!! $target failed; see $build/$target.log and $build/artifacts/"
        tail -n 40 "$build/$target.log"
        status=1
    else
        grep -E "^stat::(number_of_executed_units|peak_rss_mb)|Done [0-9]+ runs" \
            "$build/$target.log" || true
    fi
done
exit $status
