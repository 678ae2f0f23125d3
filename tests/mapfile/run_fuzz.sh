#!/bin/sh
# Bounded fuzz run of the map reader. Seeds: a map of zeros and one of
# counting values, packed by Allegro's own tool; the fuzz target adds the
# packed signature itself when the input's first byte asks for it.
# Works in a temporary folder, removed unless the run fails (then it holds
# the crash input). The target must leave no file behind.
# Usage: run_fuzz.sh PACK_TOOL FUZZ_TARGET RUNS
set -eu
pack_tool=$1 target=$2 runs=$3
work=$(mktemp -d)
status=1
trap '[ "$status" -eq 0 ] && rm -rf "$work" || echo "fuzz run files kept in $work"' EXIT
cd "$work"
mkdir corpus
head -c 160000 /dev/zero > zero.raw
i=0
while [ $i -lt 20000 ]; do printf '\001\000\000\000\002\000\000\000'; i=$((i + 1)); done > count.raw
"$pack_tool" zero.raw zero.dat >/dev/null
"$pack_tool" count.raw count.dat >/dev/null
for f in zero count; do { printf '\001'; tail -c +5 $f.dat; } > corpus/$f; done
"$target" -runs="$runs" -max_len=8192 -seed=1 corpus &
pid=$!
wait $pid && status=0 || status=$?
if [ -e "/tmp/fuzz-map-$pid.dat" ]; then
  echo "FAIL: the fuzz target left /tmp/fuzz-map-$pid.dat behind"
  rm -f "/tmp/fuzz-map-$pid.dat"
  status=1
fi
exit $status
