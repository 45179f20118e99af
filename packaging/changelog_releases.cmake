# SPDX-License-Identifier: MIT
# The release history of CHANGELOG.md as AppStream's <release> elements.

# Markdown's inline text as AppStream's description markup: the XML's
# special characters escaped, **strong** as <em>, `code` as <code>.
function(quillant_appstream_inline text out)
  string(REPLACE "&" "&amp;" text "${text}")
  string(REPLACE "<" "&lt;" text "${text}")
  string(REPLACE ">" "&gt;" text "${text}")
  string(REGEX REPLACE "\\*\\*([^*]+)\\*\\*" "<em>\\1</em>" text "${text}")
  string(REGEX REPLACE "`([^`]+)`" "<code>\\1</code>" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Sets `out` to the <release> elements of the changelog, newest first, as
# its "## VERSION (YYYY-MM-DD)" headings give them; a version "(unreleased)"
# is a development release of SOURCE_DATE_EPOCH's day, or where that is
# not set, of the changelog file's time. A heading's paragraphs and list
# follow it as its description.
function(quillant_changelog_releases changelog out)
  file(READ "${changelog}" text)
  # NOTE: CMake's lists split at semicolons and keep brackets together; the
  # text's own are kept aside as control characters until each line is read.
  string(ASCII 30 semicolon)
  string(ASCII 29 open)
  string(ASCII 28 close)
  string(REPLACE ";" "${semicolon}" text "${text}")
  string(REPLACE "[" "${open}" text "${text}")
  string(REPLACE "]" "${close}" text "${text}")
  string(REPLACE "\n" ";" lines "${text};")

  set(xml "")
  set(block "")
  set(kind "")
  set(version "")
  foreach(line IN LISTS lines)
    string(REPLACE "${semicolon}" ";" line "${line}")
    string(REPLACE "${open}" "[" line "${line}")
    string(REPLACE "${close}" "]" line "${line}")
    set(starts "")
    if(line MATCHES "^## ([^ ]+) \\(([^)]*)\\)$")
      set(starts release)
    elseif(line MATCHES "^- ")
      set(starts item)
    elseif(line STREQUAL "" OR line MATCHES "^#")
      set(starts end)
    elseif(NOT line MATCHES "^ " AND NOT kind STREQUAL "p")
      set(starts p)
    endif()
    # A paragraph or an item ends where another block begins; text before
    # the first version is no release's.
    if(starts AND NOT block STREQUAL "" AND version)
      quillant_appstream_inline("${block}" block)
      if(kind STREQUAL "item")
        string(APPEND items "          <li>${block}</li>\n")
      else()
        string(APPEND paragraphs "        <p>${block}</p>\n")
      endif()
    endif()
    if(starts)
      set(block "")
    endif()
    if(starts STREQUAL "release")
      _quillant_release_close()
      set(version "${CMAKE_MATCH_1}")
      set(when "${CMAKE_MATCH_2}")
      if(when STREQUAL "unreleased")
        if(DEFINED ENV{SOURCE_DATE_EPOCH})
          string(TIMESTAMP when "%Y-%m-%d" UTC)
        else()
          # Not the build's day, which would change the metadata from day to
          # day: the changelog's own, which a source release gives its files.
          file(TIMESTAMP "${changelog}" when "%Y-%m-%d" UTC)
        endif()
        set(type development)
      elseif(when MATCHES "^[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]$")
        set(type stable)
      else()
        message(FATAL_ERROR "${changelog}: version ${version} is dated '${when}', "
          "neither YYYY-MM-DD nor unreleased")
      endif()
      set(paragraphs "")
      set(items "")
      set(kind "")
    elseif(starts STREQUAL "end")
      set(kind "")
    elseif(starts)
      set(kind ${starts})
      string(REGEX REPLACE "^- " "" block "${line}")
    elseif(NOT kind STREQUAL "")
      string(STRIP "${line}" line)
      string(APPEND block " ${line}")
    endif()
  endforeach()
  _quillant_release_close()
  string(REGEX REPLACE "\n$" "" xml "${xml}")
  set(${out} "${xml}" PARENT_SCOPE)
endfunction()

# Appends the release that is being read, if any, to `xml` in the caller.
macro(_quillant_release_close)
  if(version)
    string(APPEND xml "    <release version=\"${version}\" type=\"${type}\" date=\"${when}\">\n"
      "      <description>\n${paragraphs}")
    if(items)
      string(APPEND xml "        <ul>\n${items}        </ul>\n")
    endif()
    string(APPEND xml "      </description>\n    </release>\n")
  endif()
endmacro()
