# Sourced by the sanitized build and test run: every sanitizer report ends the
# process that made it and is written to build-asan/sanitizer/ (one file per
# process, children included), so that reports from programs the tests start
# and stop are not lost with their output.
sanitizer_reports="$PWD/build-asan/sanitizer"
mkdir -p "$sanitizer_reports"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:check_initialization_order=1:log_path=$sanitizer_reports/asan"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$sanitizer_reports/ubsan"
export LSAN_OPTIONS="suppressions=$PWD/scripts/sanitizer-suppressions.txt:print_suppressions=0"
