#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs, from Debian's archive, the packages that one of Quillant's ways in
# needs, and nothing else:
#
#   install-deps.sh [--list] [SET]
#
#   run            make run: the 32-bit Windows saver built and shown under Wine
#   deb            make deb: the Linux package, with the native tool chain alone
#   web            make web: the page, with emscripten
#   check          make check: the native build and its tests that need no
#                  Wine, browser, compositor or package tool
#   test-windows   make test-windows: both Windows savers, their installer and
#                  zip, under Wine
#   test-x11       make test-x11: the hack on Xvfb and under xsecurelock
#   test-wayland   make test-wayland: quillant-wayland on headless compositors
#   test-web       make test-web: the page in the three browser engines
#   test-packages  make test-packages: the packages, the release, the workflows
#   test           make test (the default): every build and every test
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
# Build-Depends), with wayland-scanner and the Wayland protocols' definitions
# (KDE's too, for the idle protocol of older compositors), sd-bus for the
# desktop's idle monitor, inhibitors and power on D-Bus, and file, with
# which CPack finds the programs whose libraries it lists.
deb=(
  build-essential cmake ninja-build pkg-config file
  libgl1-mesa-dev libglu1-mesa-dev libosmesa6-dev libpng-dev libx11-dev libgl-dev
  libegl-dev libwayland-dev wayland-protocols plasma-wayland-protocols libxkbcommon-dev
  libsystemd-dev
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
# The native build with its tests and benchmarks: GoogleTest and Google
# Benchmark over the package's tool chain.
check=("${deb[@]}" libgtest-dev libbenchmark-dev)
# A private X display with Mesa's GL, and what looks at it.
display=(xvfb xauth xdotool x11-utils imagemagick libgl1 libglx-mesa0 libgl1-mesa-dri)
# Both savers under Wine: the 64-bit cross compiler and Wine's 64-bit
# OpenGL too, and NSIS for the installer that make dist builds (with the
# Linux package).
test_windows=("${deb[@]}" "${run[@]}" g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev nsis
  "${display[@]}")
# The hack: xmllint for its settings, xsecurelock with xrandr and xrdb.
test_x11=("${check[@]}" "${display[@]}" libxml2-utils xsecurelock x11-xserver-utils)
# quillant-wayland: the headless compositors and their tools (sway with
# swayidle, grim and wtype; weston, which has no layer shell; KDE's KWin and
# GNOME's Mutter) and the D-Bus session each of KWin and Mutter runs in; for
# --idle's set-up lines, the tools they name (gsettings with GNOME's schemas
# and dconf, KDE's kwriteconfig5) and desktop-file-validate.
test_wayland=("${check[@]}" imagemagick libgl1-mesa-dri sway swayidle grim wtype weston
  kwin-wayland mutter dbus libglib2.0-bin gsettings-desktop-schemas dconf-gsettings-backend
  libkf5config-bin desktop-file-utils)
# The page in the three browser engines (Chromium, Firefox ESR, WebKitGTK's
# WebDriver with its MiniBrowser), driven from Node with npm's packages,
# against the native build's matrices and snapshots.
test_web=("${check[@]}" "${web[@]}" "${display[@]}" chromium firefox-esr webkit2gtk-driver npm)
# The packages and the release: lintian and groff for the Linux package, and
# everything the release is made of; each family's own tools for its recipe
# (Arch's makepkg, which wants pacman even with --nodeps, and bsdtar;
# rpmbuild and rpmlint; Nix's parser) and appstreamcli for the metadata; yq
# and jq to read the Windows package managers' manifests; npm for the
# workflows' checker.
test_packages=("${test_windows[@]}" "${web[@]}" libxml2-utils lintian groff-base npm
  makepkg pacman-package-manager libarchive-tools rpm rpmlint desktop-file-utils nix-bin appstream
  yq jq)
# Everything: with clang and its sanitizer runtime for the sanitizer and
# fuzzing builds.
test=("${test_windows[@]}" "${test_x11[@]}" "${test_wayland[@]}" "${test_web[@]}"
  "${test_packages[@]}" clang libclang-rt-14-dev)
case "$set_name" in
  run | deb | web | check | test) declare -n chosen=$set_name ;;
  test-windows | test-x11 | test-wayland | test-web | test-packages) declare -n chosen=${set_name//-/_} ;;
  *)
    echo "usage: install-deps.sh [--list] [run | deb | web | check | test-windows | test-x11 |" \
      "test-wayland | test-web | test-packages | test]" >&2
    exit 2
    ;;
esac
# Each package once, in the order first named.
mapfile -t wanted < <(printf '%s\n' "${chosen[@]}" | awk '!seen[$0]++')
if [ "$listing" = 1 ]; then
  printf '%s\n' "${wanted[@]}"
  exit 0
fi

# shellcheck source=apt.sh
. "$(dirname "$0")/apt.sh"

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
  update_package_lists
  install_packages "${missing[@]}"
fi

# The page tests' driver, puppeteer-core, and the workflows' checker,
# action-validator, at the versions of their lock files, from the npm
# registry; again only when a lock file changed.
cd "$(dirname "$0")/.."
npm_folders=()
case "$set_name" in
  test-web) npm_folders=(tests/web) ;;
  test-packages) npm_folders=(tests/workflows) ;;
  test) npm_folders=(tests/web tests/workflows) ;;
esac
for folder in "${npm_folders[@]}"; do
  lock=$folder/package-lock.json
  installed_lock=$folder/node_modules/.quillant-lock.json
  if ! cmp -s "$lock" "$installed_lock"; then
    echo "install-deps: installing the npm packages of $folder"
    npm ci --prefix "$folder" --no-audit --no-fund --loglevel=error
    cp "$lock" "$installed_lock"
  fi
done

# What emulating 32-bit programs takes, where the kernel cannot run them.
case "$set_name" in
  run | test-windows | test-packages | test) ./scripts/setup-wine32.sh ;;
esac
