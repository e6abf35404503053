#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. With --sanitize the
# build in build-asan/ runs them under AddressSanitizer (with its leak checks)
# and UndefinedBehaviorSanitizer; a report from any process, the programs the
# tests start included, fails the run. Other arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
folder=build
if [ "${1:-}" = --sanitize ]; then
  shift
  folder=build-asan
  source scripts/sanitizer-env.sh
  rm -f "$sanitizer_reports"/*
  scripts/build.sh --sanitize
else
  scripts/build.sh
fi
export QT_QPA_PLATFORM=offscreen
status=0
ctest --test-dir "$folder" --output-on-failure -j"$(nproc)" --timeout 300 "$@" || status=$?
if [ "$folder" = build-asan ] && [ -n "$(ls -A "$sanitizer_reports")" ]; then
  echo "Sanitizer reports:"
  for report in "$sanitizer_reports"/*; do
    echo "== $report"
    cat "$report"
  done
  status=1
fi
exit $status
