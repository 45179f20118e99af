# SPDX-License-Identifier: MIT
# Quillant for Nix, in nixpkgs' callPackage style: pkgs/by-name/qu/quillant/
# takes this file as it is. `make release` writes a copy with the source
# release's hash in place of lib.fakeHash (the tarball holds this file, so
# it cannot hold the tarball's hash).
{
  lib,
  stdenv,
  fetchurl,
  cmake,
  ninja,
  pkg-config,
  wayland-scanner,
  libGL,
  libGLU,
  xorg,
  libxkbcommon,
  systemd,
  kdePackages,
  wayland,
  wayland-protocols,
  gtest,
}:

stdenv.mkDerivation (finalAttrs: {
  pname = "quillant";
  version = "0.1.0";

  src = fetchurl {
    url = "https://github.com/quillant/quillant/releases/download/v${finalAttrs.version}/quillant-${finalAttrs.version}.tar.gz";
    hash = lib.fakeHash;
  };

  strictDeps = true;

  nativeBuildInputs = [
    cmake
    ninja
    pkg-config
    wayland-scanner
  ];

  buildInputs = [
    libGL
    libGLU
    xorg.libX11
    libxkbcommon
    systemd
    kdePackages.plasma-wayland-protocols
    wayland
    wayland-protocols
  ];

  checkInputs = [ gtest ];

  # The tests run scripts of the sources, whose #! lines name /usr/bin/env,
  # which the build's sandbox lacks.
  postPatch = ''
    patchShebangs tests scripts
  '';

  cmakeFlags = [
    (lib.cmakeBool "QUILLANT_WARNINGS_AS_ERRORS" false)
    (lib.cmakeBool "QUILLANT_BUILD_TOOLS" false)
    (lib.cmakeBool "QUILLANT_BUILD_TESTS" finalAttrs.doCheck)
  ];

  # The tests draw off-screen with OSMesa, which nixpkgs' Mesa lacks since
  # 25.1 dropped it. The tests are built only when checked; with an OSMesa
  # in checkInputs, doCheck = true runs them.
  doCheck = false;

  # The tests that need no display, compositor or browser.
  checkPhase = ''
    runHook preCheck
    ctest --output-on-failure -j $NIX_BUILD_CORES -LE '^(x11|wayland|web|packages)$'
    runHook postCheck
  '';

  meta = {
    description = "Screen saver of roses of the quadratic map drawn with OpenGL, for XScreenSaver and Wayland";
    homepage = "https://github.com/quillant/quillant";
    changelog = "https://github.com/quillant/quillant/blob/v${finalAttrs.version}/CHANGELOG.md";
    license = lib.licenses.mit;
    # Filled in by whoever submits it to nixpkgs, from maintainers/maintainer-list.nix.
    maintainers = [ ];
    mainProgram = "quillant-wayland";
    platforms = lib.platforms.linux;
  };
})
