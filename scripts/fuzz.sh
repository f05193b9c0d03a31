#!/usr/bin/env bash
# Long fuzzing runs of the libFuzzer harnesses (tests/fuzz), one after the other:
#   scripts/fuzz.sh [seconds per fuzzer, default 600] [fuzzer names...]
# The corpus grows in build-fuzz/corpus/<name> (seeded from tests/fuzz/corpus),
# findings land in build-fuzz/findings/. A finding becomes a unit test and,
# when it is small, a seed in tests/fuzz/corpus.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-600}
shift || true
fuzzers=("$@")
[ ${#fuzzers[@]} -eq 0 ] && fuzzers=(ini_document page_analysis)
build="$top/build-fuzz"

"$top/scripts/ensure-packages.sh"
cmake -S "$top/tests/fuzz/project" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j2
mkdir -p "$build/findings"
status=0
for name in "${fuzzers[@]}"; do
  case $name in
    ini_document) seeds=ini ;;
    page_analysis) seeds=page ;;
    *) echo "unknown fuzzer: $name" >&2; exit 2 ;;
  esac
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  echo "== $name for $seconds s"
  "$build/${name}_fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=20 \
    -rss_limit_mb=1024 -print_final_stats=1 -artifact_prefix="$build/findings/$name-" \
    "$corpus" "$top/tests/fuzz/corpus/$seeds" || status=1
done
exit $status
