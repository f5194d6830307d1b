#!/bin/sh
# Builds Tavolin and runs every test (GUI tests on the offscreen platform).
set -e
cd "$(dirname "$0")/.."
./tools/build.sh
export QT_QPA_PLATFORM=offscreen
cd build && ctest --output-on-failure -j "$(nproc)" --timeout 600
