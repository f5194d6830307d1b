#!/bin/sh
# Builds the fuzz targets (preset "fuzz": clang, ASan, UBSan) and runs each one for a fixed
# number of inputs on its corpus in the repository: any crash, leak, timeout or running out of
# memory fails. New inputs go to a scratch folder, never into the repository.
# Usage: tools/fuzz-smoke.sh [RUNS]   (default 400 mutations per target after the corpus)
set -e
cd "$(dirname "$0")/.."
RUNS=${1:-400}
if ! command -v clang++-14 >/dev/null 2>&1 || ! dpkg -s libclang-rt-14-dev >/dev/null 2>&1; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends \
        clang-14 libclang-rt-14-dev
fi
cmake --preset fuzz >/dev/null
cmake --build build-fuzz -j "$(nproc)"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# The report target draws and writes every page of each input: a quarter of the runs, on
# smaller inputs, keeps it within the time of the others.
for target in raw_open result_open settings merge report; do
    mkdir -p "$scratch/$target"
    runs=$RUNS
    max_len=300000
    [ "$target" = report ] && runs=$((RUNS / 4)) && max_len=30000
    echo "fuzz_$target: corpus and $runs more inputs"
    if ! build-fuzz/tests/fuzz/fuzz_$target -runs="$runs" -seed=1 -max_len="$max_len" -timeout=20 \
        -rss_limit_mb=2048 -dict=tests/fuzz/tavolin.dict -artifact_prefix="$scratch/" \
        "$scratch/$target" "tests/fuzz/corpus/$target" >"$scratch/$target.log" 2>&1; then
        tail -n 60 "$scratch/$target.log"
        for f in "$scratch"/crash-* "$scratch"/leak-* "$scratch"/timeout-* "$scratch"/oom-*; do
            [ -e "$f" ] && echo "reproducer: $(basename "$f") (base64)" && base64 "$f" | head -c 20000
        done
        echo "fuzz_$target FAILED"
        exit 1
    fi
    grep -E '^#[0-9]+.*DONE' "$scratch/$target.log" || true
done
