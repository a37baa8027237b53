#!/bin/bash
# Start-up time of QVD-PC to its first window, over RUNS runs (default 5),
# under a virtual X display with qvd-sim on COM1; tools/startup_time.py.
#   BUILD=build tools/startup_time.sh [RUNS]
set -euo pipefail
BUILD=${BUILD:-build}
here=$(cd "$(dirname "$0")" && pwd)
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  /usr/bin/python3 "$here/startup_time.py" "$BUILD" "${1:-5}"
