# SPDX-License-Identifier: MIT
# Cross-compiles for 32-bit Windows.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(mingw_triplet i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)

# NOTE: x87 arithmetic keeps intermediates in extended precision, which changes
# truncated results such as the colour ramp's alphas; SSE2 gives the double
# and single precision the code is written for. Windows calls our callbacks
# with a 4-byte aligned stack, so realign it for SSE spills.
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -mstackrealign")
