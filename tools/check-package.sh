#!/bin/sh
# Checks the Debian package that tools/package.sh built: its desktop entry, AppStream metadata,
# MIME description and lintian, then runs the programs unpacked from it on the bundled sample
# and compares what they print with the tested build's tavolin-cli.
# Usage: tools/check-package.sh DEB [REFERENCE_CLI]   (default build/src/cli/tavolin-cli)
set -e
[ $# -ge 1 ] || { echo "usage: $0 DEB [REFERENCE_CLI]" >&2; exit 2; }
DEB=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
cd "$(dirname "$0")/.."
REF=$(pwd)/${2:-build/src/cli/tavolin-cli}
[ -x "$REF" ] || { echo "no reference program $REF" >&2; exit 2; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
ROOT=$WORK/root
fail() { echo "package check FAILED: $*" >&2; exit 1; }
# No settings of the user's own: the programs start from their built-in defaults.
export TAVOLIN_CONFIG_DIR="$WORK/config"

VERSION=$(dpkg-deb -f "$DEB" Version)
ARCH=$(dpkg-deb -f "$DEB" Architecture)
[ "$(basename "$DEB")" = "tavolin_${VERSION}_${ARCH}.deb" ] || fail "file name $(basename "$DEB")"
DEPENDS=$(dpkg-deb -f "$DEB" Depends)
for dep in libqt6widgets6 libqt6gui6 libqt6core6 libxlsxwriter4 libzip4 qt6-translations-l10n \
    fonts-arphic-uming fonts-arphic-ukai fonts-wqy-zenhei fonts-liberation fonts-noto-cjk; do
    echo "$DEPENDS" | grep -q "$dep" || fail "Depends lacks $dep: $DEPENDS"
done

dpkg -x "$DEB" "$ROOT"
SHARE=$ROOT/usr/share
DESKTOP=$(ls "$SHARE"/applications/*.desktop)
desktop-file-validate "$DESKTOP" || fail "desktop entry"
appstreamcli validate --no-net "$SHARE"/metainfo/*.metainfo.xml || fail "AppStream metadata"
lintian --fail-on error --display-info "$DEB" || fail "lintian"

# The desktop entry opens both job types, and each has its icon, in every size as SVG too.
ICON=$(sed -n 's/^Icon=//p' "$DESKTOP")
[ "$(basename "$DESKTOP" .desktop)" = "$ICON" ] || fail "icon $ICON is not named as the entry"
grep -qx 'MimeType=application/x-tavolin-raw;application/x-tavolin-result;' "$DESKTOP" ||
    fail "MimeType of the desktop entry"
for icon in apps/$ICON mimetypes/application-x-tavolin-raw mimetypes/application-x-tavolin-result; do
    [ -s "$SHARE/icons/hicolor/scalable/$icon.svg" ] || fail "no SVG $icon"
    for size in 16 22 24 32 48 64 128 256; do
        [ -s "$SHARE/icons/hicolor/${size}x$size/$icon.png" ] || fail "no $size px $icon"
    done
done

# The MIME database built from the package alone: each type's glob, without the case-sensitive
# flag, so that "job.SHA", "job.sha" and "Job.Sha" all are result jobs.
mkdir -p "$WORK/mime/packages"
cp "$SHARE"/mime/packages/tavolin.xml "$WORK/mime/packages/"
update-mime-database "$WORK/mime" >/dev/null 2>&1
for pair in sht:raw sha:result; do
    grep -qx "50:application/x-tavolin-${pair#*:}:\*\.${pair%:*}" "$WORK/mime/globs2" ||
        fail "no case-blind glob *.${pair%:*}"
done
if grep -q 'x-tavolin.*:cs$' "$WORK/mime/globs2"; then fail "a case-sensitive glob"; fi

# The unpacked programs run on their own libraries: none may be missing.
if LC_ALL=C ldd "$ROOT"/usr/bin/tavolin "$ROOT"/usr/bin/tavolin-cli | grep -q 'not found'; then
    fail "missing libraries"
fi
CLI=$ROOT/usr/bin/tavolin-cli
[ "$("$CLI" --version)" = "tavolin-cli $VERSION" ] || fail "--version: $("$CLI" --version)"

# The bundled samples are the repository's. Evaluated by the packaged program, also under a name
# with a blank and lower-case letters as a file manager may hand it over, they give what the
# tested build gives (the name the output starts with aside).
EXAMPLES=$SHARE/doc/tavolin/examples
for f in sample-raw.SHT sample-raw.SHD sample-result.SHA sample-result.SHD; do
    cmp -s "$EXAMPLES/$f" "samples/$f" || fail "examples/$f is not the repository's sample"
done
JOBS="$WORK/site jobs"
mkdir -p "$JOBS"
cp "$EXAMPLES/sample-result.SHA" "$EXAMPLES/sample-result.SHD" "$JOBS/"
cp "$EXAMPLES/sample-result.SHA" "$JOBS/sample result.sha"
cp "$EXAMPLES/sample-result.SHD" "$JOBS/sample result.shd"
for options in "" "--standard tb --json" "--curve pebble"; do
    # shellcheck disable=SC2086
    (cd "$JOBS" && "$CLI" evaluate sample-result.SHA $options) >"$WORK/packaged.txt" ||
        fail "evaluate $options"
    # shellcheck disable=SC2086
    (cd "$JOBS" && "$CLI" evaluate "sample result.sha" $options) >"$WORK/renamed.txt" ||
        fail "evaluate of the renamed sample $options"
    # shellcheck disable=SC2086
    (cd "$JOBS" && "$REF" evaluate sample-result.SHA $options) >"$WORK/tested.txt"
    cmp -s "$WORK/packaged.txt" "$WORK/tested.txt" || fail "evaluate $options differs"
    sed 's/sample result\.sha/sample-result.SHA/' "$WORK/renamed.txt" | cmp -s - "$WORK/tested.txt" ||
        fail "renamed sample $options differs"
done
"$CLI" evaluate "$EXAMPLES/sample-raw.SHT" >/dev/null || fail "evaluate of the raw sample"

# The report with the fonts the package depends on: searchable Chinese text in the PDF.
QT_QPA_PLATFORM=offscreen "$CLI" report "$EXAMPLES/sample-result.SHA" --tables field,result \
    --pdf "$WORK/report.pdf" || fail "report"
pdftotext "$WORK/report.pdf" "$WORK/report.txt"
for title in 现场记录表 结果数据表; do
    grep -q "$title" "$WORK/report.txt" || fail "report text $title"
done

# The desktop program starts on the sample and keeps running until it is stopped.
status=0
QT_QPA_PLATFORM=offscreen timeout 10 "$ROOT"/usr/bin/tavolin "$JOBS/sample result.sha" || status=$?
[ "$status" -eq 124 ] || fail "tavolin ended with status $status"
echo "package check passed: $(basename "$DEB")"
