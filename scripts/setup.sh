#!/usr/bin/env bash
# Installs every Debian package the build, the tests, the tools and the
# Debian package of Zorvane (dpkg-shlibdeps, file) need, and
# the browser tests' npm packages (tests/browser, from its lock file).
# Idempotent: packages already present are left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  clang libclang-rt-14-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libplist-dev libglib2.0-dev libicu-dev
  dbus dbus-daemon dbus-bin
  nlohmann-json3-dev
  libcli11-dev libsoup-3.0-dev
  chromium
  dpkg-dev file
)
# Node.js for the browser tests: the machine's own when it has one (npm comes with it).
command -v node >/dev/null 2>&1 || packages+=(nodejs)
command -v npm >/dev/null 2>&1 || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The browser tests drive Debian's chromium with playwright-core (no browser
# download), installed from the lock file again whenever that changes.
browser_tests="$(cd "$(dirname "$0")/../tests/browser" && pwd)"
if ! cmp -s "$browser_tests/package-lock.json" "$browser_tests/node_modules/.installed-lock.json"; then
  (cd "$browser_tests" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error)
  cp "$browser_tests/package-lock.json" "$browser_tests/node_modules/.installed-lock.json"
fi
