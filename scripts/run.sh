#!/usr/bin/env bash
# Runs the simulated device: installs what is missing, builds, and starts the
# launcher, which prints the screen's address (the phone in the browser).
# Options go to the launcher (build/release/device/zv-launcher --help):
# --root DIR, --port N, --no-screen.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh >/dev/null
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
exec build/release/device/zv-launcher "$@"
