#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes 32-bit Wine usable on a kernel that cannot run 32-bit x86 programs
# (its IA-32 emulation switched off), by running them under qemu's user-mode
# emulation: qemu from bookworm-backports, the trap-number shim and the binfmt
# entry, nothing else. Does nothing where 32-bit programs run natively; Wine
# and the 32-bit OpenGL come from install-deps.sh on every machine, which runs
# this afterwards. Idempotent; as root, or through sudo otherwise.
#
# QUILLANT_EMULATE_I386=1 takes the emulation path on a kernel that runs 32-bit
# programs too (the binfmt entry then comes before the kernel's own loader),
# so that a developer there can see what such a kernel sees.
#
# NOTE: bookworm's qemu 7.2 places its own mappings inside Wine's reserved low
# address range, so Wine either takes minutes to start or fails; the qemu of
# bookworm-backports does not. And qemu reports every fault signal with trap
# number -1, on which Wine's 32-bit signal handler gives up: the preloaded
# shim qemu-trapfix.c rebuilds the number before Wine's handler runs.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
libdir=/usr/local/lib
binfmt=/proc/sys/fs/binfmt_misc
entry=$binfmt/qemu-i386
rule=':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F'

log() { echo "setup-wine32: $*"; }
log_prefix=setup-wine32
# shellcheck source=apt.sh
. "$here/apt.sh"
runs_32bit() { /lib/ld-linux.so.2 --version >/dev/null 2>&1; }

# Does a 32-bit program run natively? Test with our own entry switched off;
# where there is none, binfmt_misc need not even be mounted.
native=0
if [ "${QUILLANT_EMULATE_I386:-0}" = 1 ]; then
  log "emulating 32-bit programs, as asked"
elif [ -e "$entry" ]; then
  state=$(head -n 1 "$entry")
  echo 0 | as_root tee "$entry" >/dev/null
  runs_32bit && native=1
  [ "$state" = enabled ] && echo 1 | as_root tee "$entry" >/dev/null
else
  runs_32bit && native=1
fi
if [ "$native" -eq 1 ]; then
  # Native is faster than our emulation: drop the entry of an earlier run.
  [ -e "$entry" ] && echo -1 | as_root tee "$entry" >/dev/null
  exit 0
fi

# Packages: a working qemu, and the compiler of the shim's 32-bit half.
export DEBIAN_FRONTEND=noninteractive
if ! grep -rqs bookworm-backports /etc/apt/sources.list /etc/apt/sources.list.d/; then
  as_root tee /etc/apt/sources.list.d/bookworm-backports.sources >/dev/null <<'SOURCES'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
fi
qemu_version=$(dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null || true)
case "$qemu_version" in 1:[0-7].* | [0-7].* | "") old_qemu=1 ;; *) old_qemu=0 ;; esac
if ! installed gcc-multilib || [ "$old_qemu" -eq 1 ]; then
  log "installing gcc-multilib and qemu-user-static from bookworm-backports"
  update_package_lists
  installed gcc-multilib || install_packages gcc-multilib
  if [ "$old_qemu" -eq 1 ]; then
    as_root apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=900 \
      -t bookworm-backports qemu-user-static
  fi
fi

# The shim, with an empty 64-bit twin so that one LD_PRELOAD suits both kinds
# of Wine process.
shim=$libdir/i386-linux-gnu/qemu-trapfix.so
if [ ! -f "$shim" ] || [ "$here/qemu-trapfix.c" -nt "$shim" ]; then
  as_root mkdir -p "$libdir/i386-linux-gnu" "$libdir/x86_64-linux-gnu"
  as_root gcc -m32 -O2 -Wall -shared -fPIC -o "$shim" "$here/qemu-trapfix.c" -ldl
  echo 'int qemu_trapfix_stub;' |
    as_root gcc -x c -O2 -shared -fPIC -o "$libdir/x86_64-linux-gnu/qemu-trapfix.so" -
fi

# Register qemu for 32-bit programs; again each time, as the F flag pins the
# qemu binary that was current when registered.
mountpoint -q "$binfmt" || as_root mount -t binfmt_misc binfmt_misc "$binfmt"
[ -e "$entry" ] && echo -1 | as_root tee "$entry" >/dev/null
echo "$rule" | as_root tee "$binfmt/register" >/dev/null
runs_32bit || { log "32-bit programs still do not run" >&2; exit 1; }
