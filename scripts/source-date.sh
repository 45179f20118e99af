# SPDX-License-Identifier: MIT
# The one time that every date of a build from these sources takes
# (SOURCE_DATE_EPOCH), and what would make it a lie; sourced, not run.

# True when folder $1 is the top of a git checkout: the project's own, not
# an unpacked source release that lies inside another.
is_own_checkout() {
  [ "$(git -C "$1" rev-parse --show-toplevel 2>/dev/null)" = "$(cd "$1" && pwd -P)" ]
}

# Prints the time for the sources in folder $1: the last commit's in the
# project's own git checkout; in an unpacked source release, which is no
# checkout, the time that the release gave its files.
source_date_epoch() {
  if is_own_checkout "$1"; then
    git -C "$1" log -1 --format=%ct
  else
    stat -c %Y "$1/CMakeLists.txt"
  fi
}

# Prints, as git status does, the tracked files of the checkout $1 that
# differ from the last commit, whose time the sources take; nothing outside
# a checkout, whose files are what they are.
uncommitted_changes() {
  if is_own_checkout "$1"; then
    git -C "$1" status --porcelain --untracked-files=no
  fi
}
