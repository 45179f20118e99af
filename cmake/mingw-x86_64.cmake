# SPDX-License-Identifier: MIT
# Cross-compiles for 64-bit Windows, whose arithmetic is SSE2 already.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw_triplet x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
