#!/bin/bash
# scripts/fresh-root.sh ends what a command leaves running in the root before
# it unmounts and removes the root, also when TMPDIR ends in / or runs through
# a symbolic link, and binds /proc and /dev where only the command sees them. A root of bash, env and sleep stands in for the cached
# Debian root. Needs root (chroot and mount); skipped (77) otherwise.
#   fresh_root_test.sh path/to/fresh-root.sh
set -u
script=$1
[ "$(id -u)" -eq 0 ] || { echo "skipped: needs root"; exit 77; }
work=$(realpath "$(mktemp -d)")
status=0

# Anything the script under test left mounted or running is ended here, by
# process id, so that the work folder can go without touching the host's /dev.
leftovers() {
  local p
  for p in /proc/[0-9]*; do
    case "$(readlink "$p/root" 2>/dev/null)" in "$work"/*) echo "${p#/proc/}" ;; esac
  done
}
finish() {
  local pids m
  pids=$(leftovers)
  [ -z "$pids" ] || kill -KILL $pids 2>/dev/null
  for m in $(awk -v w="$work/" 'index($2, w) == 1 { print $2 }' /proc/mounts | sort -r); do
    umount -l "$m"
  done
  rm -rf --one-file-system "$work"
}
trap finish EXIT
trap 'exit 1' INT TERM
fail() { echo "FAIL: $*"; status=1; }

mkdir -p "$work"/root/{proc,dev,usr/bin,etc/apt/sources.list.d,etc/apt/apt.conf.d,work} "$work/tmp"
for exe in /usr/bin/bash /usr/bin/env /usr/bin/sleep; do
  cp "$exe" "$work/root/usr/bin/"
  for lib in $(ldd "$exe" | grep -o '/[^ ]*'); do
    cp -L --parents "$lib" "$work/root/"
  done
done
tar -C "$work/root" -cf "$work/root.tar" .
ln -s "$work/tmp" "$work/link"

for tmpdir in "$work/tmp/" "$work/link"; do
  # Into a file: what is left running may hold the output open.
  FRESH_ROOT_CACHE=$work/root.tar TMPDIR=$tmpdir "$script" 'sleep 600 </dev/null >/dev/null 2>&1 &' \
    >"$work/log" 2>&1
  cat "$work/log"
  pids=$(leftovers)
  [ -z "$pids" ] || { fail "TMPDIR=$tmpdir: processes $pids were left running in the root"; kill -KILL $pids; }
  [ -z "$(ls -A "$work/tmp")" ] || fail "TMPDIR=$tmpdir: the root was not removed: $(ls "$work/tmp")"
  grep -q " $work/" /proc/mounts && fail "TMPDIR=$tmpdir: something is still mounted in the root"
done

# While the command runs, its binds are its own: none shows here, so a
# killed script leaves nothing bound under TMPDIR.
FRESH_ROOT_CACHE=$work/root.tar TMPDIR=$work/tmp "$script" ': >/work/ready; sleep 3' \
  >"$work/log" 2>&1 &
for _ in $(seq 100); do
  ready=$(ls "$work"/tmp/*/work/ready 2>/dev/null)
  [ -n "$ready" ] && break
  sleep 0.2
done
[ -n "$ready" ] || fail "the command did not start in the root: $(cat "$work/log")"
grep " $work/" /proc/self/mountinfo && fail "the root's binds are seen outside it while it runs"
wait $! || fail "the command's status was not 0: $(cat "$work/log")"
exit $status
