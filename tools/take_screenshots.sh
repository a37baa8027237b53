#!/bin/bash
# Screenshots for docs/screenshots: the real program under a virtual X
# display for the main window (notice box confirmed, start-up log written),
# the grab tool for the about and jumper help windows, which the menu
# offers only when connected.
# Needs: xvfb-run, xdotool, imagemagick; `cmake --build build --target qvd_grab_windows`.
set -euo pipefail
BUILD=${BUILD:-build}
OUT=${OUT:-docs/screenshots}
if [ -z "${QVD_SHOT_DISPLAY:-}" ]; then
  QVD_SHOT_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
mkdir -p "$OUT"
export QT_QPA_PLATFORM=xcb
"$BUILD"/app/qvd-pc & pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
for _ in $(seq 100); do xdotool search --name '^QVD-PC' >/dev/null 2>&1 && break; sleep 0.1; done
sleep 1
# The notice box carries the program title alone.
if box=$(xdotool search --onlyvisible --name '^QVD-PC$' 2>/dev/null | head -1) && [ -n "$box" ]; then
  xdotool windowfocus --sync "$box" key Return || true
fi
# Start-up log and the port enumeration (about two seconds after start).
sleep 4
# Without a window manager the window has no frame: the client sits at 100,50.
import -window root -crop 765x213+100+50 +repage "$OUT/main_start.png"
"$BUILD"/ui/qvd_grab_windows "$OUT"
rm -f "$OUT/password.png" "$OUT/layout_connected.png" "$OUT/layout_service.png"
