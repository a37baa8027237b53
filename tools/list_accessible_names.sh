#!/bin/bash
# Lists what the real program publishes over AT-SPI under Xvfb: each control's
# designer name (accessible description) with its role and visible text.
# Needs: xvfb-run, dbus-run-session, at-spi2-core, python3-pyatspi, xdotool.
set -euo pipefail
BUILD=${BUILD:-build}
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${QVD_A11Y_SESSION:-}" ]; then
  QVD_A11Y_SESSION=1 exec xvfb-run -a dbus-run-session -- "$0" "$@"
fi
export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/libexec/at-spi-bus-launcher --launch-immediately & bus=$!
ports=$(mktemp -d)
"$BUILD"/sim/qvd-sim --link "$ports/COM1" >/dev/null & sim=$!
sleep 0.5
QVD_PC_PORTS="$ports/COM%d" "$BUILD"/app/qvd-pc & pid=$!
trap 'kill $pid $sim $bus 2>/dev/null || true; rm -rf "$ports"' EXIT
sleep 3
xdotool key Return   # the notice box
sleep 3
/usr/bin/python3 "$here/list_accessible_names.py"
