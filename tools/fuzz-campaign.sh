#!/bin/sh
# A long fuzzing campaign: the fuzz targets (all five, or those named after OUTDIR) at the same
# time, at the lowest priority, each for SECONDS (default 1800), going on after a fault so that
# one campaign finds all it can.
# New inputs, logs and reproducers go to OUTDIR (default ./fuzz-campaign); the summary lists
# executions and faults per target. Put the reproducers of mended faults into
# tests/fuzz/corpus/<target>/ as regression inputs.
# Usage: tools/fuzz-campaign.sh [SECONDS] [OUTDIR] [TARGET...]   (e.g. ... 1800 out report)
set -e
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-1800}
OUT=$(realpath -m "${2:-fuzz-campaign}")
cmake --preset fuzz >/dev/null
cmake --build build-fuzz -j 2
if [ $# -ge 2 ]; then shift 2; else set --; fi
TARGETS=${*:-raw_open result_open settings merge report}
for target in $TARGETS; do
    mkdir -p "$OUT/corpus/$target" "$OUT/artifacts/$target"
    # Fork mode restarts its worker every few seconds; the report target's start (Qt, fonts)
    # would take most of that, so it runs in one process (stopping at its first fault) and is
    # given more time per input, at the lowest priority on a busy machine.
    mode="-fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1"
    timeout=20
    [ "$target" = report ] && mode="" && timeout=120
    nice -n 19 build-fuzz/tests/fuzz/fuzz_$target $mode \
        -max_total_time="$SECONDS_EACH" -max_len=300000 -timeout="$timeout" \
        -rss_limit_mb=2048 -dict=tests/fuzz/tavolin.dict \
        -artifact_prefix="$OUT/artifacts/$target/" \
        "$OUT/corpus/$target" "tests/fuzz/corpus/$target" >"$OUT/$target.log" 2>&1 &
done
wait
echo "target        executions  faults (crash, leak, timeout, oom)"
for target in $TARGETS; do
    last=$(grep -E '^#[0-9]+' "$OUT/$target.log" | tail -n 1)
    execs=$(echo "$last" | sed -E 's/^#([0-9]+).*/\1/')
    # libFuzzer also leaves its slowest input (slow-unit-*) there: a note, not a fault.
    faults=$(ls "$OUT/artifacts/$target" | grep -cE '^(crash|leak|timeout|oom)-' || true)
    printf '%-13s %10s  %s\n' "$target" "${execs:-0}" "$faults"
    ls "$OUT/artifacts/$target" | sed 's/^/    /'
done
