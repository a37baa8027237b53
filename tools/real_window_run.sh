#!/bin/bash
# End-to-end run of the real program: QVD-PC under a virtual X display with
# an accessibility bus, driven through its controls against qvd-sim by
# tools/real_window_run.py. Exit status 0 when every step passed.
#   BUILD=build tools/real_window_run.sh [--shots docs/screenshots] [--keep]
# Needs: xvfb-run, xauth, dbus-run-session, at-spi2-core, python3-pyatspi,
# xdotool, imagemagick (for --shots); a build in $BUILD.
set -euo pipefail
BUILD=${BUILD:-build}
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${QVD_E2E_SESSION:-}" ]; then
  # The session bus and the accessibility registry chatter; only the
  # driver's own messages are passed on.
  set +e
  QVD_E2E_SESSION=1 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    dbus-run-session -- "$0" "$@" 2>&1 |
    grep --line-buffered -v -e '^dbus-daemon\[' -e 'SpiRegistry daemon' \
      -e '^XIO: ' -e '^ *after [0-9]* requests'
  exit "${PIPESTATUS[0]}"
fi
/usr/libexec/at-spi-bus-launcher --launch-immediately 2>/dev/null & bus=$!
trap 'kill $bus 2>/dev/null || true' EXIT
/usr/bin/python3 "$here/real_window_run.py" --build "$BUILD" "$@"
