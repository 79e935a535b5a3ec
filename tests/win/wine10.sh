#!/usr/bin/env bash
# Runs a program of Debian 13's Wine 10, from the tree scripts/wine10-tree.sh
# keeps, in place of the machine's Wine 8: called through tests/win/wine10/wine
# or tests/win/wine10/wineserver (first in PATH), it runs the tree's program of
# that name, with the caller's arguments, environment, standard handles and
# folder. It runs inside the tree in a mount namespace of its own, in which
# /proc, /sys, /dev, /tmp (work folders, prefixes, the X socket) and the
# checkout are the machine's. Those mounts live only as long as the namespace's
# processes (wineserver among them): however the run ends, nothing stays mounted.
# Needs root. The tree: TAV_WINE10_TREE, default /var/cache/tavori/wine10.
set -euo pipefail

tree="${TAV_WINE10_TREE:-/var/cache/tavori/wine10}"
root="$(cd "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/../.." && pwd)"

# Second step, inside the new namespace: the mounts, then the program in the tree.
if [ "${1:-}" = --in-namespace ]; then
  program="$2"
  shift 2
  mount --bind /proc "$tree/proc"
  mount --rbind /sys "$tree/sys"
  mount --rbind /dev "$tree/dev"
  mount --rbind /tmp "$tree/tmp"
  mkdir -p "$tree$root"
  mount --bind "$root" "$tree$root"
  # shellcheck disable=SC2016 # expanded by the tree's shell
  exec chroot "$tree" /bin/sh -c 'cd "$0" 2>/dev/null || cd /; exec "$@"' "$PWD" "/usr/bin/$program" "$@"
fi

program="$(basename "$0")"
if [ ! -f "$tree/.tavori-stamp" ]; then
  echo "wine10.sh: no Wine 10 tree in $tree (scripts/install-deps.sh builds it)" >&2
  exit 1
fi
exec unshare --mount --propagation private -- "$(readlink -f "${BASH_SOURCE[0]}")" --in-namespace "$program" "$@"
