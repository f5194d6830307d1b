#!/bin/sh
# Builds the Debian package tavolin_VERSION_ARCH.deb into OUTDIR from a Release build of its own
# (build-package, compiled through ccache like the other builds), with Debian's hardening flags.
# Usage: tools/package.sh OUTDIR
set -e
[ $# -eq 1 ] || { echo "usage: $0 OUTDIR" >&2; exit 2; }
mkdir -p "$1"
OUT=$(cd "$1" && pwd)
cd "$(dirname "$0")/.."
./tools/install-deps.sh
# Hardening as dpkg-buildpackage would give it; the optimisation stays the Release one and no
# debugging information is compiled, since the package's programs are stripped.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export DEB_CFLAGS_MAINT_STRIP="-g -O2" DEB_CXXFLAGS_MAINT_STRIP="-g -O2"
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DTAVOLIN_TESTS=OFF -DTAVOLIN_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr \
    -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build-package -j "$(nproc)"
rm -f "$OUT"/tavolin_*.deb
(cd build-package && cpack -G DEB -B "$OUT/cpack" >/dev/null)
mv "$OUT"/cpack/tavolin_*.deb "$OUT"/
rm -rf "$OUT/cpack"
ls "$OUT"/tavolin_*.deb
