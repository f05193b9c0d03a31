#!/usr/bin/env bash
# Builds and makes the Debian package in build/ (kelvaro-photo-wizard_*.deb),
# then checks it with lintian. Install it with
#   sudo apt-get install ./build/kelvaro-photo-wizard_*.deb
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/ensure-packages.sh"
"$top/scripts/build.sh"
cd "$top/build"
rm -f kelvaro-photo-wizard_*.deb
cpack -G DEB
deb=$(ls kelvaro-photo-wizard_*.deb)
echo "Package: $top/build/$deb"
dpkg-deb --field "$deb" Package Version Depends
# Errors fail the script; warnings and notes are shown.
lintian --fail-on error "$deb"
