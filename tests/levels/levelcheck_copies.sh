#!/bin/sh
# levelcheck's copies of the maps it plays go into TMPDIR and are gone however
# it ends: after a level with 65 enemy starts, which it must check like any
# other and report under the player's own file name, and after a SIGTERM in
# the middle of its search.
#   levelcheck_copies.sh LEVELCHECK MANY_ENEMIES.dat SLOW.dat
set -u
levelcheck=$1 many=$2 slow=$3
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

out=$(TMPDIR=$tmp "$levelcheck" "$many" 2>&1)
status=$?
[ $status -eq 0 ] || fail "65 enemy starts gave status $status: $out"
echo "$out" | grep -q "^$many: finished alive" || fail "no finish reported for $many: $out"
[ -z "$(ls -A "$tmp")" ] || fail "left behind: $(ls "$tmp")"

# A wide beam keeps the search busy for seconds after the copies are placed.
LEVELCHECK_EFFORT=100000,40,0 TMPDIR=$tmp "$levelcheck" "$slow" >/dev/null 2>&1 &
pid=$!
i=0
while [ $i -lt 300 ] && ! ls "$tmp" | grep -q '^levelcheck-'; do
  sleep 0.1
  i=$((i + 1))
done
ls "$tmp" | grep -q '^levelcheck-' || { kill $pid; fail "no copies were placed in TMPDIR"; }
kill -TERM $pid
wait $pid
status=$?
[ $status -eq 143 ] || fail "status $status after SIGTERM, not 143"
[ -z "$(ls -A "$tmp")" ] || fail "left behind after SIGTERM: $(ls -R "$tmp")"
echo "copies placed in TMPDIR and removed"
