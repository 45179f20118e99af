# SPDX-License-Identifier: MIT
# What the set-up scripts share to install Debian's packages, sourced, not
# run: as root or through sudo, only what is missing, and through a package
# mirror that is mid-sync. The sourcing script may name itself in
# $log_prefix for the lines these print.

lists_incomplete=0

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# True when the package (name or name:arch) is installed, or another that
# provides it (nodejs from NodeSource provides npm).
installed() {
  dpkg-query -W -f='${db:Status-Status}\n' "$1" 2>/dev/null | grep -qx installed ||
    dpkg-query -W -f='${db:Status-Status},${Provides}\n' 2>/dev/null |
    awk -F', *' -v wanted="$1" '
      $1 == "installed" { for (i = 2; i <= NF; i++) { split($i, name, " "); if (name[1] == wanted) found = 1 } }
      END { exit !found }'
}

# Refreshes apt's package lists: apt's own retries, then a pause and one more
# try. An index that still fails is named and left out, and apt-get install
# decides with the lists it has: a set that needs nothing from it installs.
# NOTE: a mirror mid-sync serves a Release file that its indices do not match
# yet ("File has unexpected size"); it heals within minutes, not seconds.
update_package_lists() {
  local log attempt=1 waited=0
  log=$(mktemp)
  until try_update "$log"; do
    # NOTE: apt-get update does not wait for another apt's lock on the lists,
    # as install does with DPkg::Lock::Timeout: wait for it here, untried.
    if grep -q 'Could not get lock' "$log" && [ "$waited" -lt 900 ]; then
      sleep 5
      waited=$((waited + 5))
      continue
    fi
    if [ "$attempt" = 2 ]; then
      report_failed_update "$log"
      lists_incomplete=1
      break
    fi
    attempt=2
    sleep "${QUILLANT_APT_PAUSE:-20}"
  done
  rm -f "$log"
}

# One apt-get update, its lines shown and kept in the file $1.
try_update() {
  local status=0
  as_root apt-get update -q -o Acquire::Retries=3 >"$1" 2>&1 || status=$?
  cat "$1"
  return "$status"
}

# Says which indices apt could not fetch, and why that may be.
report_failed_update() {
  local failed
  failed=$(sed -n 's/^E: Failed to fetch \([^ ]*\).*/\1/p' "$1" | sort -u)
  [ -n "$failed" ] || failed=$(sed -n 's/^Err:[0-9]* \([^ ]*\).*/\1/p' "$1" | sort -u)
  echo "${log_prefix:-install-deps}: apt-get update failed twice; going on with the lists there are, without:" >&2
  printf '  %s\n' ${failed:-"(apt named none)"} >&2
  if grep -qE 'unexpected size|Hash Sum mismatch' "$1"; then
    echo "${log_prefix:-install-deps}: the mirror may be mid-sync; it heals within minutes" >&2
  fi
}

# Installs the packages. With an index left out, one architecture's lists
# may offer a security update that the other's lack, and a package of both
# (libssl3 and libssl3:i386) must be of one version: then once more, taking
# every package from the release itself, whose indices came whole.
install_packages() {
  local release
  as_root apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=900 "$@" &&
    return 0
  [ "$lists_incomplete" = 1 ] || return 1
  release=$(. "${QUILLANT_OS_RELEASE:-/etc/os-release}" && echo "${VERSION_CODENAME:-}")
  [ -n "$release" ] || return 1
  echo "${log_prefix:-install-deps}: trying again with the packages of $release alone" >&2
  as_root apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=900 \
    -t "$release" "$@"
}
