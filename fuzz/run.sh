#!/usr/bin/env bash
# Builds the fuzz targets into build-fuzz/ (clang, libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs each for SECONDS (default 60).
# New inputs collect in build-fuzz/corpus/<target>; a crash is written to
# build-fuzz/ and stops the run with a failure.
set -euo pipefail
seconds="${1:-60}"
cd "$(dirname "$0")/.."
scripts/install-deps.sh --fuzz
generator=()
if [ ! -f build-fuzz/CMakeCache.txt ] && command -v ninja >/dev/null; then generator=(-G Ninja); fi
cmake -S fuzz -B build-fuzz "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build build-fuzz -j"$(nproc)"
for target in frame download ini lang; do
  echo "== fuzz_$target for ${seconds}s"
  mkdir -p "build-fuzz/corpus/$target"
  "build-fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="build-fuzz/$target-" \
    "build-fuzz/corpus/$target" "fuzz/corpus/$target"
done
