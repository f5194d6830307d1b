#!/bin/sh
# Renders both report tables of a job to PNG pages for looking at them at 100 %:
#   tools/report-pages.sh JOB OUTDIR [DPI] [more tavolin-cli report options]
# writes OUTDIR/report.pdf and OUTDIR/page-N.png (96 dpi unless given: one page pixel per
# screen pixel at 100 %).
set -e
[ $# -ge 2 ] || { echo "usage: $0 JOB OUTDIR [DPI] [report options]" >&2; exit 2; }
job=$1
out=$2
shift 2
dpi=96
case "$1" in [0-9]*) dpi=$1; shift ;; esac
here=$(cd "$(dirname "$0")/.." && pwd)
cli="$here/build/src/cli/tavolin-cli"
[ -x "$cli" ] || { echo "build tavolin-cli first (cmake --build build --target tavolin-cli)" >&2; exit 1; }
mkdir -p "$out"
"$cli" report "$job" --pdf "$out/report.pdf" --tables field,result "$@"
pdftoppm -r "$dpi" -png "$out/report.pdf" "$out/page"
ls "$out"
