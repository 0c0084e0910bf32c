#!/usr/bin/env bash
# Builds everything and runs all tests (under a virtual display when there is none).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build
cd build
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
    xvfb-run -a ctest --output-on-failure -j "$(nproc)"
else
    ctest --output-on-failure -j "$(nproc)"
fi
