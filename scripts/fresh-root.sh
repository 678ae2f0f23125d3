#!/usr/bin/env bash
# Runs one command in a fresh clone of this checkout on a fresh minimal Debian 12 root, the machine a
# newcomer starts from: debootstrap's minbase with git, nothing else.
#
#   scripts/fresh-root.sh 'COMMAND'      for example: scripts/fresh-root.sh ./test.sh
#
# The clone takes the checkout's committed state (HEAD), not uncommitted changes. The bare root is made
# once with debootstrap from this machine's Debian source and kept as a tarball (FRESH_ROOT_CACHE), so
# later runs only unpack it. The root's file systems (/proc, /dev, /dev/pts, /dev/shm) are bound in a
# mount namespace of the command's own, so they are never seen outside it and go with its last process,
# even when this script is killed. Whatever happens, processes left in the root are ended and the root
# removed (a root something still runs in is left, with a line saying so). The exit status is the
# command's; 125 when no root could be made, with one line saying why.
set -u

cmd=${1:?usage: scripts/fresh-root.sh 'COMMAND'}
src=$(cd "$(dirname "$0")/.." && pwd)
cache=${FRESH_ROOT_CACHE:-/var/cache/kelwyrm/bookworm-minbase.tar}
cannot=125

fail() {
  echo "fresh-root: cannot make a fresh Debian 12 root: $*" >&2
  exit $cannot
}

[ "$(id -u)" -eq 0 ] || fail "it needs root (debootstrap, chroot and mount)"

# The Debian source this machine's apt uses, first in deb822 form, then in the classic one.
sources=""
for f in /etc/apt/sources.list.d/debian.sources /etc/apt/sources.list; do
  [ -s "$f" ] && { sources=$f; break; }
done
[ -n "$sources" ] || fail "no Debian source is configured in /etc/apt"
mirror=$(sed -n 's/^URIs: *//p' "$sources" | head -n 1)
[ -n "$mirror" ] || mirror=$(awk '$1 == "deb" { print $2; exit }' "$sources")
[ -n "$mirror" ] || fail "no Debian mirror found in $sources"

root=$(mktemp -d "${TMPDIR:-/tmp}/kelwyrm-root.XXXXXX") || fail "no room for a root in ${TMPDIR:-/tmp}"
# /proc/PID/root reads as the resolved path: a TMPDIR ending in / or running
# through a symbolic link must not hide the root's processes from the cleanup.
root=$(realpath "$root")
mounts=(proc dev dev/pts dev/shm)

# The processes running in the root.
root_processes() {
  local p
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && echo "${p#/proc/}"
  done
}

# A process the command left behind (an X server, a game) keeps the root's
# namespace and its mounts alive, so the root's own processes go first; while
# any still runs the root is not deleted under it.
cleanup() {
  local pids tries=0
  pids=$(root_processes)
  while [ -n "$pids" ] && [ $tries -lt 10 ]; do
    kill -KILL $pids 2>/dev/null
    sleep 0.5
    tries=$((tries + 1))
    pids=$(root_processes)
  done
  if [ -n "$pids" ]; then
    echo "fresh-root: processes $(echo $pids) still run in $root; the root is left in place" >&2
    return
  fi
  # The binds were made in the command's namespace only; one seen here was
  # made by someone else, and the removal must not walk into it.
  for m in "${mounts[@]}"; do
    if mountpoint -q "$root/$m"; then
      echo "fresh-root: $root/$m is still mounted; the root is left in place" >&2
      return
    fi
  done
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

if [ -f "$cache" ]; then
  tar -C "$root" -xf "$cache" || fail "cannot unpack the cached root $cache"
else
  command -v debootstrap >/dev/null || fail "debootstrap is not installed (apt-get install debootstrap)"
  echo "fresh-root: making a minimal Debian 12 root from $mirror (once; cached in $cache)"
  log=$(mktemp "${TMPDIR:-/tmp}/kelwyrm-debootstrap.XXXXXX.log")
  if ! debootstrap --variant=minbase --include=git,ca-certificates bookworm "$root" "$mirror" >"$log" 2>&1; then
    tail -n 5 "$log" >&2
    rm -f "$log"
    fail "debootstrap from $mirror failed (no packages reachable?)"
  fi
  rm -f "$log"
  mkdir -p "$(dirname "$cache")" && tar -C "$root" -cf "$cache.part" . && mv "$cache.part" "$cache" \
    || echo "fresh-root: could not cache the root in $cache; the next run makes it again" >&2
fi

# The machine's way to its Debian source: the source itself, the settings
# apt needs to reach it (proxies, validity checks) and name resolution.
rm -f "$root"/etc/apt/sources.list "$root"/etc/apt/sources.list.d/*
cp "$sources" "$root/etc/apt/${sources#/etc/apt/}"
for f in /etc/apt/apt.conf.d/*; do
  grep -q '^ *Acquire::' "$f" 2>/dev/null && cp "$f" "$root/etc/apt/apt.conf.d/"
done
cp -L /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null

# Binds the host's file systems named in the arguments into the root and
# runs the command there; its exit status is the command's.
run_in_root() {
  local m rc
  for m in "$@"; do
    mount --bind "/$m" "$root/$m" || fail "cannot bind /$m into the root"
  done
  echo "fresh-root: running '$cmd' in a fresh clone of $rev on a fresh Debian 12 root"
  SECONDS=0
  chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c "cd /work/project && $cmd" </dev/null
  rc=$?
  echo "fresh-root: '$cmd' exited $rc after ${SECONDS} s on a fresh Debian 12 root"
  exit $rc
}

git clone -q "$src" "$root/work/project" || fail "cannot clone $src"
rev=$(git -C "$src" rev-parse --short HEAD)
# In a private mount namespace: the binds are never seen outside it, and the
# kernel takes them away with its last process, however this script ends, so
# a later removal of the root cannot walk into the host's /dev.
export -f run_in_root fail
export root cmd rev cannot
# Where / is no mount of its own (this script run inside a root of its own,
# as its tests are), its propagation cannot be changed; there the namespace
# the enclosing root made is private already, and the new one keeps it.
propagation=private
unshare --mount --propagation private true 2>/dev/null || propagation=unchanged
unshare --mount --propagation $propagation bash -c 'run_in_root "$@"' fresh-root "${mounts[@]}"
exit $?
