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
  mesa,
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

  # The tests draw off-screen with Mesa's OSMesa.
  checkInputs = [
    gtest
    mesa
  ];

  cmakeFlags = [
    (lib.cmakeBool "QUILLANT_WARNINGS_AS_ERRORS" false)
    (lib.cmakeBool "QUILLANT_BUILD_TOOLS" false)
    (lib.cmakeBool "QUILLANT_BUILD_TESTS" finalAttrs.doCheck)
  ];

  doCheck = true;

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
    mainProgram = "quillant-wayland";
    platforms = lib.platforms.linux;
  };
})
