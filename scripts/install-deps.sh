#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs, from Debian's archive, the packages that one of Quillant's ways in
# needs, and nothing else:
#
#   install-deps.sh [--list] [run | deb | web | test]
#
#   run   make run: the 32-bit Windows saver built and shown under Wine
#   deb   make deb: the Linux package, with the native tool chain alone
#   web   make web: the page, with emscripten
#   test  make test (the default): every build and every test, and make
#         release
#
# The same packages on every machine; where the kernel cannot run 32-bit
# programs, setup-wine32.sh then adds what emulating them takes. Idempotent:
# it asks apt only for what is missing, and does nothing when all is there.
# Runs as root, or through sudo otherwise. --list prints the set's packages
# and installs nothing.
set -euo pipefail

listing=0
if [ "${1:-}" = --list ]; then
  listing=1
  shift
fi
set_name=${1:-test}

# The Linux package: the native tool chain and the libraries that the hack,
# quillant-wayland and the build's native tools link (a source package's
# Build-Depends), with wayland-scanner and the Wayland protocols' definitions,
# and file, with which CPack finds the programs whose libraries it lists.
deb=(
  build-essential cmake ninja-build pkg-config file
  libgl1-mesa-dev libglu1-mesa-dev libosmesa6-dev libpng-dev libx11-dev libgl-dev
  libegl-dev libwayland-dev wayland-protocols libxkbcommon-dev
)
# The 32-bit saver under Wine, in the 64-bit prefix that the tests share, with
# the 32-bit OpenGL it draws with, the private display it is shown on and
# what takes and judges the screenshot; GoogleTest's sources, which the
# Windows build compiles its tests from.
run=(
  cmake ninja-build googletest
  g++-mingw-w64-i686-posix mingw-w64-i686-dev
  wine wine64 wine32:i386
  libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386
  xvfb xauth xdotool x11-utils imagemagick
)
# The page: emscripten, whose optimiser runs on Node.
web=(cmake ninja-build emscripten nodejs)
# Everything else that make test builds and runs: clang with its sanitizer
# runtime, GoogleTest and Google Benchmark, xmllint for the hack's settings,
# the 64-bit cross compiler and NSIS, the 64-bit Wine's OpenGL; lintian,
# groff, xsecurelock with xrandr and xrdb for the package and its lockers;
# the three browser engines that the page's tests run it in: Chromium,
# Firefox ESR and WebKitGTK's WebDriver with its MiniBrowser; the headless
# Wayland compositors that quillant-wayland is tried on (sway with swayidle,
# grim and wtype; weston, which has no layer shell).
test=(
  "${deb[@]}" "${run[@]}" "${web[@]}"
  clang libclang-rt-14-dev libgtest-dev libbenchmark-dev libxml2-utils
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev nsis
  libgl1 libglx-mesa0 libgl1-mesa-dri
  lintian groff-base xsecurelock x11-xserver-utils
  chromium firefox-esr webkit2gtk-driver
  sway swayidle grim wtype weston
)
case "$set_name" in
  run) wanted=("${run[@]}") ;;
  deb) wanted=("${deb[@]}") ;;
  web) wanted=("${web[@]}") ;;
  test) wanted=("${test[@]}") ;;
  *) echo "usage: install-deps.sh [--list] [run | deb | web | test]" >&2; exit 2 ;;
esac
if [ "$listing" = 1 ]; then
  printf '%s\n' "${wanted[@]}"
  exit 0
fi

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# True when the package (name or name:arch) is installed.
installed() {
  dpkg-query -W -f='${db:Status-Status}\n' "$1" 2>/dev/null | grep -qx installed
}

missing=()
for pkg in "${wanted[@]}"; do
  installed "$pkg" || missing+=("$pkg")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  as_root apt-get update -q
  as_root apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

case "$set_name" in deb | web) exit 0 ;; esac

# The page tests' driver, puppeteer-core, and the workflows' checker,
# action-validator, at the versions of their lock files, from the npm
# registry; again only when a lock file changed.
cd "$(dirname "$0")/.."
for folder in tests/web tests/workflows; do
  lock=$folder/package-lock.json
  installed_lock=$folder/node_modules/.quillant-lock.json
  if [ "$set_name" = test ] && ! cmp -s "$lock" "$installed_lock"; then
    echo "install-deps: installing the npm packages of $folder"
    command -v npm >/dev/null || as_root apt-get install -y -q --no-install-recommends npm
    npm ci --prefix "$folder" --no-audit --no-fund --loglevel=error
    cp "$lock" "$installed_lock"
  fi
done

# What emulating 32-bit programs takes, where the kernel cannot run them.
./scripts/setup-wine32.sh
