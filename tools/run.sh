#!/bin/sh
# Builds Tavolin and starts it on the bundled sample job.
set -e
cd "$(dirname "$0")/.."
./tools/build.sh
SAMPLE=samples/sample-result.SHA
if [ -x build/src/app/tavolin ] && { [ -n "$DISPLAY" ] || [ -n "$WAYLAND_DISPLAY" ]; }; then
    exec build/src/app/tavolin "$SAMPLE"
fi
[ -x build/src/app/tavolin ] && echo "No display: showing the sample job on the command line." >&2
exec build/src/cli/tavolin-cli evaluate "$SAMPLE"
