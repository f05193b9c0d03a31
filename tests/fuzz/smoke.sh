#!/usr/bin/env bash
# A few seconds of one fuzzer on the seed corpus of the tree, for CTest:
#   smoke.sh <fuzz build folder> <fuzzer> <seed corpus folder> [seconds]
# Builds the clang harnesses first (serialised, since CTest may run both
# smoke tests at once). Exits 77, which CTest counts as skipped, when clang
# or its libFuzzer runtime is missing.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=$1 fuzzer=$2 seeds=$3 seconds=${4:-5}

compiler=$(command -v clang++ || true)
if [ -z "$compiler" ]; then
  echo "SKIPPED: clang++ is not installed (Debian packages clang and libclang-rt-14-dev)."
  exit 77
fi
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' \
  > "$probe/probe.cpp"
if ! "$compiler" -fsanitize=fuzzer "$probe/probe.cpp" -o "$probe/probe" 2>"$probe/error"; then
  echo "SKIPPED: clang++ cannot link libFuzzer (Debian package libclang-rt-14-dev):"
  cat "$probe/error"
  exit 77
fi

mkdir -p "$build"
(
  flock 9
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$here/project" -B "$build" -DCMAKE_CXX_COMPILER="$compiler" >/dev/null
  fi
  cmake --build "$build" -j2 --target "$fuzzer" >/dev/null
) 9>"$build/.build-lock"

# New inputs go to a scratch corpus; the seeds in the tree stay as they are.
corpus="$probe/corpus"
mkdir -p "$corpus"
cd "$probe"
"$build/$fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=20 -rss_limit_mb=1024 \
  -print_final_stats=1 -artifact_prefix="$probe/" "$corpus" "$seeds" 2>&1 | tail -n 25
status=${PIPESTATUS[0]}
if [ "$status" -ne 0 ]; then
  for found in "$probe"/crash-* "$probe"/timeout-* "$probe"/oom-* "$probe"/leak-*; do
    [ -e "$found" ] || continue
    echo "Finding $(basename "$found") (hex):"
    od -A x -t x1z "$found" | head -n 20
  done
fi
exit "$status"
