#!/usr/bin/env bash
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build
