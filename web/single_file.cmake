# SPDX-License-Identifier: MIT
# Makes the page in one file: index.html with the script inlined, its
# WebAssembly embedded in the script (emscripten's SINGLE_FILE), and without
# the links to its manifest and icons. The page's loader sees the marker in
# the head and loads nothing.
#
#   cmake -DPAGE=index.html -DSCRIPT=quillant-single.js -DOUT=quillant.html -P single_file.cmake
file(READ "${PAGE}" page)
file(READ "${SCRIPT}" script)
string(FIND "${script}" "</script" closing)
if(NOT closing EQUAL -1)
  message(FATAL_ERROR "${SCRIPT} holds </script, which would end the inline script")
endif()
# A file has no manifest or icons beside it.
string(REGEX REPLACE "<link rel=\"(icon|manifest)\"[^>]*>\n" "" page "${page}")
string(REPLACE "<head>" "<head>\n<meta name=\"quillant-page\" content=\"single-file\">" page "${page}")
string(REPLACE "</body>" "<script>\n${script}</script>\n</body>" page "${page}")
file(WRITE "${OUT}" "${page}")
