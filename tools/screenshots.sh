#!/bin/sh
# Writes PNGs of the main and analysis screens with a sample job, the menus and every dialog
# (the three correction tables under both standards), at 100 % and 200 %, and on a 1366 x 768
# screen (the smallest the analysis screen is laid out for).
# Usage: tools/screenshots.sh OUTPUT_FOLDER [FILE]   (BUILD_DIR selects the build folder)
set -e
cd "$(dirname "$0")/.."
OUT="${1:?usage: tools/screenshots.sh OUTPUT_FOLDER [FILE]}"
SAMPLE="${2:-samples/sample-result.SHA}"
BUILD_DIR="${BUILD_DIR:-build}"
if [ ! -f "$BUILD_DIR/build.ninja" ] && [ ! -f "$BUILD_DIR/Makefile" ]; then
    cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$BUILD_DIR" --target tavolin-screenshots
BIN="$BUILD_DIR/tools/tavolin-screenshots"
mkdir -p "$OUT"
OUT="$(cd "$OUT" && pwd)"
[ -f "$SAMPLE" ] && SAMPLE="$(cd "$(dirname "$SAMPLE")" && pwd)/$(basename "$SAMPLE")"
# A throw-away configuration folder, so the user's settings and recent list stay untouched.
CONF="$(mktemp -d)"
trap 'rm -rf "$CONF"' EXIT
export TAVOLIN_CONFIG_DIR="$CONF" LC_ALL=C.UTF-8
xvfb-run -a -s "-screen 0 1600x1000x24" "$BIN" "$OUT/100" "$SAMPLE"
QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 1600x1000x24" "$BIN" "$OUT/200" "$SAMPLE"
xvfb-run -a -s "-screen 0 1366x768x24" "$BIN" "$OUT/1366x768" "$SAMPLE"
echo "screenshots in $OUT/100, $OUT/200 and $OUT/1366x768"
