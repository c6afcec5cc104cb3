#!/usr/bin/env bash
# Builds everything (benchmarks included) and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd build
ctest --no-tests=error --output-on-failure --timeout 600 -j "$(nproc)"
