#!/usr/bin/env bash
# Builds Tessaline and runs its main job on a sample marker.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target tessaline-cli
exec build/default/tessaline-cli model samples/marker.plt --config samples/config.ini --fast "$@"
