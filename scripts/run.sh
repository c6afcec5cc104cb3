#!/usr/bin/env bash
# Builds and starts the program on its bundled installation.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
exec build/tallivar/tallivar "$@"
