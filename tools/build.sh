#!/bin/sh
# Configures and builds everything into ./build.
set -e
cd "$(dirname "$0")/.."
./tools/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"
