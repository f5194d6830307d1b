#!/bin/sh
# Installs everything Tavolin needs to build, test and run, from Debian 12's packages.
set -e
PACKAGES="build-essential cmake ninja-build pkg-config ccache \
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev \
  libxlsxwriter-dev libzip-dev libgtest-dev googletest \
  fonts-noto-cjk fonts-dejavu-core fonts-liberation xvfb xauth \
  libreoffice-writer-nogui libreoffice-calc-nogui \
  fonts-arphic-ukai fonts-arphic-uming fonts-wqy-zenhei poppler-utils \
  qt6-translations-l10n libcups2-dev cups-daemon cups-client \
  dpkg-dev lintian desktop-file-utils appstream shared-mime-info"
missing=""
for p in $PACKAGES; do
    dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends $missing
