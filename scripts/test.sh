#!/usr/bin/env bash
# Runs every test: installs what is missing, builds the release and the
# sanitizer (AddressSanitizer + UndefinedBehaviorSanitizer) configurations,
# runs the whole C++ suite on each, makes the Debian package of the release
# build and runs it unpacked, then the browser tests (the screen in Debian's
# chromium, the installed tree's among them) on the release build.
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

echo "== Debian package (release build)"
rm -f build/release/zorvane_*.deb
if (cd build/release && cpack -G DEB >/dev/null); then
  package=$(ls build/release/zorvane_*.deb)
  dpkg-deb --field "$package" Package Version Depends
  dpkg-deb --contents "$package"
  # Unpacked anywhere, its programs run from there.
  unpacked=$(mktemp -d)
  dpkg-deb --extract "$package" "$unpacked"
  "$unpacked/usr/bin/zorvane" show fuzz/corpus/load_settings/no-default.xml || status=1
  rm -rf "$unpacked"
else
  status=1
fi

echo "== browser tests (release build)"
# A failing browser test leaves a screenshot in build/release/browser-failures/.
rm -rf build/release/browser-failures
(cd tests/browser && ZV_BUILD_DIR="$PWD/../../build/release" node --test --test-concurrency=1 ./*.test.mjs) || status=1
exit $status
