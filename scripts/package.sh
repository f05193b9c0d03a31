#!/usr/bin/env bash
# Builds the release preset and makes the Debian package in build-release/
# (kelvaro-photo-wizard_*.deb), then checks it with lintian. Install it with
#   sudo apt-get install ./build-release/kelvaro-photo-wizard_*.deb
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/ensure-packages.sh"
"$top/scripts/build.sh" release
cd "$top/build-release"
rm -f kelvaro-photo-wizard_*.deb
cpack -G DEB
deb=$(ls kelvaro-photo-wizard_*.deb)
echo "Package: $top/build-release/$deb"
dpkg-deb --field "$deb" Package Version Depends
# Errors fail the script; warnings and notes are shown.
lintian --fail-on error "$deb"
