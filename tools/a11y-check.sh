#!/bin/sh
# Starts Tavolin on the sample job in a virtual screen with its own D-Bus session and AT-SPI bus,
# and walks its accessibility tree (tools/a11y-check.py). Extra arguments (e.g. --list) pass on.
set -e
cd "$(dirname "$0")/.."
APP=${TAVOLIN:-build/src/app/tavolin}
JOB=${JOB:-samples/sample-result.SHA}
# The system Python holds pyatspi (python3-pyatspi).
PY=${PYTHON:-/usr/bin/python3}
[ -x "$APP" ] || { echo "build $APP first (tools/build.sh)" >&2; exit 2; }
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 PY APP JOB
unset QT_QPA_PLATFORM
# A settings folder of its own, so a developer's window layout neither leaks in nor gets changed.
XDG_CONFIG_HOME=$(mktemp -d)
# Recovery snapshots too: a run that ends the program leaves one, which the next run would offer.
XDG_STATE_HOME=$(mktemp -d)
export XDG_CONFIG_HOME XDG_STATE_HOME
trap 'rm -rf "$XDG_CONFIG_HOME" "$XDG_STATE_HOME"' EXIT
# A private session bus; it starts the accessibility bus (org.a11y.Bus) on demand.
dbus-run-session -- xvfb-run -a -s "-screen 0 1366x768x24" \
    "$PY" tools/a11y-check.py "$APP" "$JOB" "$@" 2>&1 | grep -v 'Failed to set fd limit'
