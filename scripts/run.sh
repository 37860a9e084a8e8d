#!/usr/bin/env bash
# Runs the simulated device: installs what is missing, builds, and starts the
# launcher on the embedded default device (or on the device root given as the
# first argument).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh >/dev/null
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
exec build/release/device/zv-launcher "$@"
