#!/usr/bin/env bash
# Builds the engine, common and velmora-cli tests with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-sanitize/ and runs them. The first error aborts the
# test that made it, and the script fails.
set -euo pipefail
cd "$(dirname "$0")/.."

flags="-O1 -g -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-sanitize --target engine_tests common_tests cli_tests velmora-cli

export ASAN_OPTIONS="abort_on_error=1:halt_on_error=1:detect_leaks=1:strict_string_checks=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
# Only the tests labelled "sanitize" (engine, common, CLI) are built in this folder.
ctest --test-dir build-sanitize --output-on-failure -j "$(nproc)" -L sanitize
