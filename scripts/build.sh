#!/usr/bin/env bash
# Configures and builds one preset of CMakePresets.json:
#   scripts/build.sh [preset]
# The default is ci, what ./test and CI build, into build/; release goes into
# build-release/, dev into build-dev/, asan into build-asan/.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
preset=${1:-ci}
cd "$top"
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
