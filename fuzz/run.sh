#!/usr/bin/env bash
# Builds the fuzz targets into build-fuzz/ (clang, libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs each for SECONDS (default 60).
# New inputs collect in build-fuzz/corpus/<target>; a crash is written to
# build-fuzz/ and stops the run with a failure.
set -euo pipefail
seconds="${1:-60}"
cd "$(dirname "$0")/.."
scripts/install-deps.sh --fuzz
source scripts/ccache-env.sh
generator=()
if [ ! -f build-fuzz/CMakeCache.txt ] && command -v ninja >/dev/null; then generator=(-G Ninja); fi
cmake -S fuzz -B build-fuzz "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build build-fuzz -j"$(nproc)"
# The answer targets run Qt's event loop for every input. With the default
# 256 MB quarantine of freed memory and 30 frames kept per allocation, the
# sanitizer's own bookkeeping makes the resident size climb steadily (the same
# inputs in a plain build stay flat) and could reach the memory limit in a long
# run; these settings keep the limit a check on the code. A crash input can be
# run again with the defaults to see the full allocation stacks.
export ASAN_OPTIONS="${ASAN_OPTIONS:-quarantine_size_mb=16:malloc_context_size=5}"
for target in frame download ini lang info live voicelist; do
  echo "== fuzz_$target for ${seconds}s"
  mkdir -p "build-fuzz/corpus/$target"
  "build-fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="build-fuzz/$target-" \
    "build-fuzz/corpus/$target" "fuzz/corpus/$target"
done
