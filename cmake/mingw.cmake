# SPDX-License-Identifier: MIT
# What the two Windows toolchains share: the POSIX-threads flavour of
# mingw-w64, whose <thread>, <mutex> and <atomic> are complete, for the target
# that mingw_triplet names; a static runtime; and Wine to run what is built.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# A built program or library needs no DLL beyond those Windows ships.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Windows test programs run under Wine, in the project's private prefix, on
# the private display of the tests' Wine session.
set(CMAKE_CROSSCOMPILING_EMULATOR
  env QUILLANT_WINE_SESSION=1 "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run")
