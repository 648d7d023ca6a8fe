#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
PRESET="${PRESET:-default}"
cmake --preset "$PRESET" >/dev/null
cmake --build --preset "$PRESET"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
ctest --preset "$PRESET" -j"$(nproc)"
