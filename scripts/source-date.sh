# SPDX-License-Identifier: MIT
# The one time that every date of a build from these sources takes
# (SOURCE_DATE_EPOCH), sourced, not run.

# Prints the time for the sources in folder $1: the last commit's in the
# project's own git checkout; in an unpacked source release, which is no
# checkout (though it may lie inside another's), the time that the release
# gave its files.
source_date_epoch() {
  local root
  root=$(cd "$1" && pwd -P)
  if [ "$(git -C "$root" rev-parse --show-toplevel 2>/dev/null)" = "$root" ]; then
    git -C "$root" log -1 --format=%ct
  else
    stat -c %Y "$root/CMakeLists.txt"
  fi
}
