# SPDX-License-Identifier: MIT
# What the set-up scripts share to install Debian's packages, sourced, not
# run: as root or through sudo, only what is missing, and through a package
# mirror that is mid-sync.

lists_incomplete=0

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# True when the package (name or name:arch) is installed, or another that
# provides it (nodejs from NodeSource provides npm).
installed() {
  dpkg-query -W -f='${db:Status-Status}\n' "$1" 2>/dev/null | grep -qx installed ||
    dpkg-query -W -f='${db:Status-Status} ${Provides}\n' 2>/dev/null |
    grep -qE "^installed .*(^| |,)$1( |,|\$)"
}

# Refreshes apt's package lists: apt's own retries, then a pause and one more
# try. An index that still fails is named and left out, and apt-get install
# decides with the lists it has: a set that needs nothing from it installs.
# NOTE: a mirror mid-sync serves a Release file that its indices do not match
# yet ("File has unexpected size"); it heals within minutes, not seconds.
update_package_lists() {
  local log attempt failed
  log=$(mktemp)
  for attempt in 1 2; do
    if as_root apt-get update -q -o Acquire::Retries=3 -o DPkg::Lock::Timeout=900 2>&1 | tee "$log"; then
      rm -f "$log"
      return 0
    fi
    [ "$attempt" = 1 ] && sleep "${QUILLANT_APT_PAUSE:-20}"
  done
  failed=$(sed -n 's/^E: Failed to fetch \([^ ]*\).*/\1/p' "$log" | sort -u)
  rm -f "$log"
  echo "install-deps: apt-get update failed twice; the mirror may be mid-sync." >&2
  echo "install-deps: going on without these indices:" >&2
  printf '  %s\n' ${failed:-"(apt named none)"} >&2
  lists_incomplete=1
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
  release=$(. /etc/os-release && echo "$VERSION_CODENAME")
  echo "install-deps: trying again with the packages of $release alone" >&2
  as_root apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=900 \
    -t "$release" "$@"
}

