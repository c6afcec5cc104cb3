#!/usr/bin/env bash
# Configures (once) and builds everything into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
if [ ! -f build/build.ninja ]; then
  launcher=()
  # ccache, when the machine has it, spares recompiling what another checkout already built.
  if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  fi
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
fi
cmake --build build -j "$(nproc)"
