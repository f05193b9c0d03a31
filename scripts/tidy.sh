#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over the project's own
# sources (program, demo site, tests, benchmarks) in build/; exits non-zero on
# any finding. Takes a while: every file is compiled once more.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/ensure-packages.sh"
"$top/scripts/build.sh"
# GCC's warning options in the compile commands are unknown to clang.
run-clang-tidy -p "$top/build" -j "$(nproc)" -quiet -extra-arg=-Wno-unknown-warning-option \
  "^$top/(src|tools|tests|bench)/.*\.cpp\$"
