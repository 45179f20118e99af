# SPDX-License-Identifier: MIT
# Writes the page's service worker, sw.js, into the page's folder from its
# template: each file of the page with its SHA-256, which the worker checks
# what it fetches against, and the name of the build, the version and a
# hash of all the files and of the template, which names the worker's cache.
# Any change to the page thus makes a new sw.js, which the browser installs.
#
#   cmake -DPAGE=DIR -DTEMPLATE=sw.js.in -DVERSION=0.1.0 -DFILES=index.html,quillant.js,...
#         -P page_worker.cmake
string(REPLACE "," ";" FILES "${FILES}")
file(SHA256 "${TEMPLATE}" all)
set(PAGE_FILES "")
foreach(name IN LISTS FILES)
  file(SHA256 "${PAGE}/${name}" hash)
  string(APPEND PAGE_FILES "  '${name}': '${hash}',\n")
  string(APPEND all " ${name} ${hash}")
endforeach()
string(SHA256 build "${all}")
string(SUBSTRING "${build}" 0 16 build)
set(PAGE_BUILD "${VERSION}-${build}")
configure_file("${TEMPLATE}" "${PAGE}/sw.js" @ONLY)
