#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build
# Window tests draw on Qt's offscreen platform; nothing here needs a display.
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j "$(nproc)"
