#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs, from Debian's archive, every package that building and testing Quillant
# needs. The same packages on every machine; where the kernel cannot run 32-bit
# programs, setup-wine32.sh then adds what emulating them takes. Idempotent: it
# asks apt only for what is missing, and does nothing when all is there. Runs as
# root, or through sudo otherwise.
set -euo pipefail

native=(
  build-essential cmake ninja-build pkg-config
  clang libclang-rt-14-dev
  googletest libgtest-dev libbenchmark-dev
  libgl1-mesa-dev libglu1-mesa-dev libosmesa6-dev libpng-dev
  libx11-dev libgl-dev libxml2-utils
  g++-mingw-w64-i686-posix mingw-w64-i686-dev
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev nsis
)
# The Linux package and the lockers it is tried under: lintian, groff for
# the man page, xsecurelock, and xrandr and xrdb for its monitors and its
# reading of ~/.xscreensaver.
linux_package=(
  lintian groff-base xsecurelock x11-xserver-utils
)
# The browser page: emscripten, whose optimiser runs on Node, and Chromium,
# which its tests drive headless.
web=(
  emscripten nodejs chromium
)
# Wine for both kinds of Windows program in one 64-bit prefix, each with the
# OpenGL of its own word size, and the display the tests run them on.
windows_tests=(
  wine wine64 wine32:i386
  libgl1 libglx-mesa0 libgl1-mesa-dri
  libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386
  xvfb xauth xdotool x11-utils imagemagick
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# True when the package (name or name:arch) is installed.
installed() {
  dpkg-query -W -f='${db:Status-Status}\n' "$1" 2>/dev/null | grep -qx installed
}

missing=()
for pkg in "${native[@]}" "${linux_package[@]}" "${web[@]}" "${windows_tests[@]}"; do
  installed "$pkg" || missing+=("$pkg")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  as_root apt-get update -q
  as_root apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The page tests' driver, puppeteer-core at the version of the lock file,
# from the npm registry; again only when the lock file changed.
lock=tests/web/package-lock.json
installed_lock=tests/web/node_modules/.quillant-lock.json
cd "$(dirname "$0")/.."
if ! cmp -s "$lock" "$installed_lock"; then
  echo "install-deps: installing the page tests' npm packages"
  command -v npm >/dev/null || as_root apt-get install -y -q --no-install-recommends npm
  npm ci --prefix tests/web --no-audit --no-fund --loglevel=error
  cp "$lock" "$installed_lock"
fi

# What emulating 32-bit programs takes, where the kernel cannot run them.
./scripts/setup-wine32.sh
