# SPDX-License-Identifier: MIT
# What a part of the build needs from the system, said where it is missing.

# Stops the configuration when `found` is false, naming what is missing and
# the options that leave out the parts which need it; the options follow
# `what`.
function(quillant_require found what)
  if(${found})
    return()
  endif()
  list(TRANSFORM ARGN PREPEND "-D")
  list(TRANSFORM ARGN APPEND "=OFF")
  list(JOIN ARGN " " leave_out)
  message(FATAL_ERROR "Not found: ${what}. Install the development files, "
    "or configure with ${leave_out} to build without what needs them.")
endfunction()
