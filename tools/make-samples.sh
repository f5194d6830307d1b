#!/bin/sh
# Regenerates the bundled sample jobs in samples/ with the built sample generator.
# Usage: tools/make-samples.sh [BUILD_DIR]   (default: build)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-"$root/build"}
gen="$build/tools/tavolin-samplegen"
if [ ! -x "$gen" ]; then
    echo "tavolin-samplegen not found; build it first: cmake --build $build --target tavolin-samplegen" >&2
    exit 1
fi
mkdir -p "$root/samples"
# One member of 10 test areas, as the instrument writes it.
"$gen" --raw --members 1 --areas 10 --seed 20230516 -o "$root/samples/sample-raw.SHT"
# Three evaluated members with varied readings, angles, faces, carbonation, methods and positions.
"$gen" --result --members 3 --areas 11 --seed 7 -o "$root/samples/sample-result.SHA"
echo "samples written to $root/samples"
