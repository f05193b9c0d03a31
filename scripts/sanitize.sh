#!/usr/bin/env bash
# Builds the unit and ui tests with AddressSanitizer and UBSan (the asan
# preset, into build-asan/) and runs them there; CI runs it after ./test.
# Extra arguments go to ctest (e.g. -R settings).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$top/build-asan"
"$top/scripts/ensure-packages.sh"
cd "$top"
cmake --preset asan >/dev/null
# Only what runs here: each test is the executable of its name.
mapfile -t targets < <(cd "$build" && ctest -N -L 'unit|ui' | sed -n 's/^ *Test *#[0-9]*: //p')
[ ${#targets[@]} -gt 0 ] || { echo "sanitize: no unit or ui tests found" >&2; exit 1; }
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

# Any finding fails the test that shows it. Leaks are reported too, apart
# from the libraries' own listed in lsan.supp.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=0:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
cd "$build"
ctest -L 'unit|ui' --output-on-failure --timeout 900 "$@"
