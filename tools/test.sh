#!/bin/sh
# Builds Tavolin and runs every test (GUI tests on the offscreen platform), then a short run of
# every fuzz target, then builds the Debian package and checks it.
set -e
cd "$(dirname "$0")/.."
./tools/build.sh
# One locale with a decimal comma, so the tests can prove the files never depend on the locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    dpkg -s locales >/dev/null 2>&1 || {
        $SUDO apt-get update -q && DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q locales
    }
    $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8 || echo "note: no de_DE.UTF-8 locale; that test is skipped" >&2
fi
export QT_QPA_PLATFORM=offscreen
(cd build && ctest --output-on-failure -j "$(nproc)" --timeout 600)
# Every reader fuzzed a little: a few hundred inputs per target beyond its corpus.
./tools/fuzz-smoke.sh
# The Debian package, built from its own Release build and checked as installed files.
./tools/package.sh build-package/deb
./tools/check-package.sh build-package/deb/tavolin_*.deb
