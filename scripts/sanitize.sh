#!/usr/bin/env bash
# Builds everything a second time with AddressSanitizer and
# UndefinedBehaviorSanitizer (build-asan) and runs the whole CTest suite
# there. Any sanitizer report fails the test that triggered it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
jobs="${JOBS:-2}"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DQUELLOR_SANITIZE=ON -DQUELLOR_BUILD_UI="${QUELLOR_BUILD_UI:-ON}"
cmake --build build-asan -j "$jobs"

# Leak checking stays on for our code; only leaks inside the system's Qt,
# fontconfig and GLib libraries (caches kept for the process's life) are
# suppressed.
supp="$PWD/scripts/lsan.supp"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export LSAN_OPTIONS="suppressions=$supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
QT_QPA_PLATFORM=offscreen ctest --test-dir build-asan --output-on-failure -j "$jobs"
