#!/bin/bash
# The Debian package as a user gets it: built from $BUILD, its desktop entry,
# metadata and manual pages validated, lintian clean of errors and warnings,
# then unpacked into a scratch root (not installed) to see that what the
# menu entry names is there and that the program answers.
#   BUILD=build tools/package_check.sh
# Needs: a build in $BUILD, cpack, dpkg-dev, lintian, desktop-file-utils,
# appstream, man-db (all in the Makefile's PACKAGES).
set -euo pipefail
BUILD=$(cd "${BUILD:-build}" && pwd)
fail() { echo "package_check: $*" >&2; exit 1; }

out=$(cd "$BUILD" && cpack -G DEB 2>&1) || { echo "$out" >&2; fail "cpack failed"; }
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$BUILD/CPackConfig.cmake")
deb=$BUILD/qvd-pc_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no package $deb"
echo "== $(basename "$deb")"

lintian --allow-root --fail-on error,warning "$deb" || fail "lintian found errors or warnings"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
[ ! -e "$root/usr/local" ] || fail "files under /usr/local"

desktop=$(ls "$root"/usr/share/applications/*.desktop)
id=$(basename "$desktop" .desktop)
desktop-file-validate "$desktop" || fail "desktop entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >/dev/null ||
  fail "metadata: $(appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml")"

exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -x "$root/usr/bin/$exec" ] || fail "Exec=$exec is not an unpacked program"
for size in 48 128 256; do
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
  [ "$(identify -format %wx%h "$png" 2>/dev/null)" = "${size}x${size}" ] || fail "Icon=$icon: no ${size}x${size} picture"
done

# Every program has its page, and every page renders without a warning.
for program in "$root"/usr/bin/*; do
  page=$root/usr/share/man/man1/$(basename "$program").1.gz
  [ -f "$page" ] || fail "no manual page for $(basename "$program")"
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done

# No display, no platform chosen: --version must still answer.
answer=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/$exec" --version) ||
  fail "$exec --version failed"
[ "${answer%%$'\n'*}" = "qvd-pc $version" ] || fail "$exec --version says: $answer"
echo "package_check: $(basename "$deb") passed"
