#!/usr/bin/env bash
# Builds the codec round-trip fuzzer with clang (address and undefined-behaviour sanitizers)
# in build-fuzz/ and runs it for SECONDS (default 60) on the seed corpus in fuzz/corpus.
# New inputs that reach new code are kept in build-fuzz/corpus; a failing input is saved as
# build-fuzz/crash-* and the script fails.
#   scripts/fuzz.sh          # a minute, as CI does
#   scripts/fuzz.sh 3600     # an hour
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ is not installed; skipped"
  exit 0
fi
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all" \
  >/dev/null
cmake --build build-fuzz --target codec_fuzz
mkdir -p build-fuzz/corpus
cd build-fuzz
./fuzz/codec_fuzz -max_total_time="$seconds" -max_len=16384 -print_final_stats=1 \
  corpus ../fuzz/corpus
