#!/bin/sh
# Generates the assets twice, in different folders, a second apart, in
# different time zones and environments, and compares every file byte for
# byte: two builds must give the same run folder.
# Usage: built_twice.sh ASSETGEN DAT PAT2DAT SOUNDFONT FAKETIME
set -eu
assetgen=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/a" "$work/second-build"
TZ=UTC "$assetgen" "$work/a/run" "$work/a/tmp" "$work/a/sheet.png" "$@"
sleep 1
TZ=XYZ-11 ASSETS_SECOND_BUILD=$(printf '%0300d' 0) \
  "$assetgen" "$work/second-build/run" "$work/second-build/work" "$work/second-build/sheet.png" "$@"

differ=0
for f in "$work"/a/run/* "$work/a/sheet.png"; do
  other=$work/second-build/${f#"$work"/a/}
  cmp "$f" "$other" || differ=$((differ + 1))
done
(cd "$work/a/run" && ls) > "$work/first.list"
(cd "$work/second-build/run" && ls) > "$work/second.list"
cmp "$work/first.list" "$work/second.list" || { echo "FAIL: the two builds made different files"; exit 1; }
[ "$differ" -eq 0 ] || { echo "FAIL: $differ files differ between two builds"; exit 1; }
echo "two builds: $(wc -l < "$work/first.list") files, byte-identical"
