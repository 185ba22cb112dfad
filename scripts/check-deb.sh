#!/usr/bin/env bash
# Builds the Debian package from a built tree (default build/release) with
# cpack and checks it: the programs, the desktop entry, the icon, the MIME
# types and the manual pages are listed, and the unpacked programs run.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/release}"
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/orvane_*.deb | head -1)
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
missing=0
for path in ./usr/bin/orvane ./usr/bin/dravik ./usr/bin/orvdisk \
            ./usr/share/applications/orvane.desktop \
            ./usr/share/icons/hicolor/scalable/apps/orvane.svg \
            ./usr/share/mime/packages/orvane.xml \
            ./usr/share/man/man1/orvane.1 ./usr/share/man/man1/dravik.1 \
            ./usr/share/man/man1/orvdisk.1; do
  if ! grep -qxF "$path" <<<"$contents"; then
    echo "check-deb: $deb lacks $path" >&2
    missing=1
  fi
done
[ "$missing" = 0 ] || exit 1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
version=$(dpkg-deb -f "$deb" Version)
[ "$("$root/usr/bin/orvane" --version)" = "Orvane $version" ] || { echo "check-deb: orvane --version" >&2; exit 1; }
[ "$("$root/usr/bin/dravik" --version)" = "Dravik $version" ] || { echo "check-deb: dravik --version" >&2; exit 1; }
[ "$("$root/usr/bin/orvdisk" --version)" = "orvdisk $version" ] || { echo "check-deb: orvdisk --version" >&2; exit 1; }
printf '10 PRINT 6*7\n' >"$root/p.bas"
"$root/usr/bin/orvdisk" new "$root/d.dsk" && "$root/usr/bin/orvdisk" put "$root/d.dsk" "$root/p.bas" \
  && [ "$("$root/usr/bin/orvdisk" get "$root/d.dsk" P -)" = "10 PRINT 6*7" ] \
  && "$root/usr/bin/orvdisk" check "$root/d.dsk" >/dev/null \
  || { echo "check-deb: the packaged orvdisk does not store and list a program" >&2; exit 1; }
"$root/usr/bin/orvane" --headless --type 'PRINT 6*7\r' --frames 100 --screen-text 2>/dev/null | grep -q '42' \
  || { echo "check-deb: the packaged orvane does not run BASIC" >&2; exit 1; }
echo "check-deb: $deb ($version) lists every part and its programs run"
