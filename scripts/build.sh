#!/usr/bin/env bash
# Configures and builds everything into build/ at the project root; with
# --sanitize, into build-asan/ with AddressSanitizer (leak checks included) and
# UndefinedBehaviorSanitizer, at -O1 with Qt's and the standard library's own
# assertions on (an index past the end of a std::array inside a record is
# beyond what AddressSanitizer sees).
set -euo pipefail
cd "$(dirname "$0")/.."
"$PWD/scripts/install-deps.sh"
source scripts/ccache-env.sh
folder=build
flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = --sanitize ]; then
  folder=build-asan
  sanitize="-fsanitize=address,undefined,float-cast-overflow -fno-sanitize-recover=all -fno-omit-frame-pointer"
  # Linked statically, the undefined-behaviour checks honour their log_path too.
  runtime="-static-libasan -static-libubsan"
  # Benchmarks are timed by hand in the normal build; the sanitized one only tests,
  # and makes no manual pages, which run the (sanitized) programs while building.
  flags=(-DCMAKE_BUILD_TYPE=Debug -DVELKAN_BUILD_BENCH=OFF -DVELKAN_PACKAGING=OFF "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g -D_GLIBCXX_ASSERTIONS $sanitize"
         "-DCMAKE_EXE_LINKER_FLAGS=$sanitize $runtime" "-DCMAKE_SHARED_LINKER_FLAGS=$sanitize $runtime")
fi
generator=()
if [ ! -f "$folder/CMakeCache.txt" ] && command -v ninja >/dev/null; then generator=(-G Ninja); fi
cmake -S . -B "$folder" "${generator[@]}" "${flags[@]}" >/dev/null
cmake --build "$folder" -j"$(nproc)"
