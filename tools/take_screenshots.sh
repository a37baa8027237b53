#!/bin/bash
# Screenshots for docs/screenshots, taken from the real program under a
# virtual X display with qvd-sim on COM1: the notice box, the start window,
# the connected window, the about and the jumper help window.
# Needs: xvfb-run, xdotool, imagemagick; a build in $BUILD.
set -euo pipefail
BUILD=${BUILD:-build}
OUT=${OUT:-docs/screenshots}
if [ -z "${QVD_SHOT_DISPLAY:-}" ]; then
  QVD_SHOT_DISPLAY=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
mkdir -p "$OUT"
export QT_QPA_PLATFORM=xcb
ports=$(mktemp -d)
"$BUILD"/sim/qvd-sim --link "$ports/COM1" --type 2 >/dev/null & sim=$!
for _ in $(seq 50); do [ -e "$ports/COM1" ] && break; sleep 0.1; done
QVD_PC_PORTS="$ports/COM%d" "$BUILD"/app/qvd-pc & pid=$!
trap 'kill $pid $sim 2>/dev/null || true; rm -rf "$ports"' EXIT
shot() { sleep "$2"; import -window root -crop "$3" +repage "$OUT/$1.png"; }
click() { xdotool mousemove "$1" "$2" click 1; }

for _ in $(seq 100); do xdotool search --onlyvisible --name '^QVD-PC$' >/dev/null 2>&1 && break; sleep 0.1; done
shot notice 1 520x200+212+14
box=$(xdotool search --onlyvisible --name '^QVD-PC$' | head -1)
xdotool windowfocus --sync "$box" key Return
# Without a window manager the window has no frame: the client sits at 100,50.
shot main_start 4 765x213+100+50
click 400 90            # "QVD-BW suchen"
shot main_connected 6 765x646+100+50
click 160 60            # menu "Hilfe"
click 190 122           # "Info über..."
shot about 1 516x186+224+279
click 160 60
click 190 80            # "NSM-12sek.-Modul"
shot jumper_help 1 596x275+184+236
