#!/bin/sh
# Bounded fuzz run of the map reader. Seeds: a map of zeros and one of
# counting values, packed by Allegro's own tool; the fuzz target adds the
# packed signature itself when the input's first byte asks for it.
# Usage: run_fuzz.sh PACK_TOOL FUZZ_TARGET RUNS
set -eu
pack_tool=$1 target=$2 runs=$3
rm -rf corpus && mkdir -p corpus
head -c 160000 /dev/zero > zero.raw
i=0
while [ $i -lt 20000 ]; do printf '\001\000\000\000\002\000\000\000'; i=$((i + 1)); done > count.raw
"$pack_tool" zero.raw zero.dat >/dev/null
"$pack_tool" count.raw count.dat >/dev/null
for f in zero count; do { printf '\001'; tail -c +5 $f.dat; } > corpus/$f; done
exec "$target" -runs="$runs" -max_len=8192 -seed=1 corpus
