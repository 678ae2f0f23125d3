#!/bin/sh
# Checks the generated assets with tools we did not write: Allegro's dat,
# ImageMagick's identify, sox/soxi, timidity, and Allegro's get_midi_length
# (through midi_length, under a private Xvfb).
# Usage: check_files.sh datafiles|pictures|samples|music RUN_DIR CONTACT_SHEET DAT MIDI_LENGTH
set -eu
group=$1 run=$2 sheet=$3 dat=$4 midi_length=$5
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Lists the objects of a datafile as "TYPE NAME DESCRIPTION" lines.
objects() {
  [ -f "$1" ] || { fail "$1 missing"; return; }
  "$dat" -l "$1" | sed -n 's/^- \([A-Z ]*[A-Z]\) *- \([^ ]*\) *- \(.*\)$/\1 \2 \3/p'
}

expect_count() { # file pattern count
  n=$(objects "$1" | grep -c -- "$2" || true)
  [ "$n" -eq "$3" ] || fail "$1: $n objects match '$2', expected $3"
}

check_datafiles() {
  objects "$run/tiles.dat" > tiles.list
  n=$(wc -l < tiles.list)
  [ "$n" -ge 50 ] || fail "tiles.dat holds $n objects, expected at least 50"
  expect_count "$run/tiles.dat" '^BMP .* bitmap (32x32, 8 bit)$' "$n"
  # object v must be the picture of value v: the names come out in that order
  v=0
  while read -r type name rest; do
    want=$(printf 'TILE%02d_BMP' "$v")
    [ "$name" = "$want" ] || fail "tiles.dat object $v is $name, expected $want"
    v=$((v + 1))
  done < tiles.list

  expect_count "$run/pal.dat" '^PAL ' 1
  expect_count "$run/pal.dat" '' 1
  expect_count "$run/pwalk.dat" '^BMP .* bitmap (32x51, 8 bit)$' 4
  expect_count "$run/pwalk.dat" '' 4
  sizes=$(objects "$run/enemy.dat" | sed 's/.*bitmap (\(.*\), 8 bit)$/\1/' | tr '\n' ' ')
  [ "$sizes" = "32x32 32x51 32x32 " ] || fail "enemy.dat sizes are '$sizes'"

  [ "$(objects "$run/patches.dat" | grep -c '^PAT ' || true)" -ge 4 ] || fail "patches.dat has too few instruments"
  size=$(wc -c < "$run/patches.dat")
  [ "$size" -lt 2000000 ] || fail "patches.dat is $size bytes"
}

check_pictures() {
  set -- $(identify -format '%m %w %h %z\n' "$run/border.bmp") none 0 0 0
  case "$1" in BMP*) ;; *) fail "border.bmp is not a BMP but $1" ;; esac
  [ "$2" -ge 320 ] && [ "$3" -ge 16 ] && [ "$4" -eq 8 ] ||
    fail "border.bmp is $*, expected an 8-bit BMP of at least 320 x 16"
  set -- $(identify -format '%m %w %h\n' "$sheet") none 0 0
  [ "$1" = PNG ] && [ "$2" -ge 640 ] && [ "$3" -ge 640 ] ||
    fail "contact sheet is $*, expected a PNG of at least 640 x 640"
}

# Peak and RMS amplitude of a sound file, as sox measures them.
amplitudes() {
  sox "$1" -n stat 2>&1 | awk '/^Maximum amplitude/ {max = $3} /^RMS +amplitude/ {rms = $3}
    END {print max, rms}'
}

check_samples() {
  for s in fires hit dies jumps congrats aou omgdied; do
    f="$run/$s.wav"
    [ -f "$f" ] || { fail "$f missing"; continue; }
    rate=$(soxi -r "$f") channels=$(soxi -c "$f") bits=$(soxi -b "$f") secs=$(soxi -D "$f")
    [ "$rate" -eq 2205 ] || fail "$s.wav is stored at $rate Hz, expected 2205"
    [ "$channels" -eq 1 ] || fail "$s.wav has $channels channels"
    [ "$bits" -eq 8 ] || [ "$bits" -eq 16 ] || fail "$s.wav has $bits bits"
    # played ten times faster: 0.1 .. 3 seconds in the game
    awk -v s="$secs" 'BEGIN {exit !(s >= 1 && s <= 30)}' || fail "$s.wav lasts $secs s stored"
    set -- $(amplitudes "$f")
    awk -v m="$1" -v r="$2" 'BEGIN {exit !(m >= 0.5 && r >= 0.05)}' || fail "$s.wav is too quiet (peak $1, rms $2)"
  done
}

# Starts a private Xvfb on a display number it picks itself; sets DISPLAY.
start_xvfb() {
  Xvfb -displayfd 3 -nolisten tcp 3> display.txt 2> /dev/null &
  xvfb_pid=$!
  tries=0
  until [ -s display.txt ] || [ "$tries" -ge 100 ]; do
    sleep 0.1
    tries=$((tries + 1))
  done
  DISPLAY=:$(cat display.txt)
  export DISPLAY
}

check_music() {
  start_xvfb
  len=$("$midi_length" "$run/jingel.mid") || { fail "get_midi_length failed"; return; }
  [ "$len" -ge 30 ] || fail "jingel.mid lasts $len s, expected at least 30"
  timidity -c /etc/timidity/timgm6mb.cfg -Ow -o rendered.wav "$run/jingel.mid" > /dev/null
  secs=$(soxi -D rendered.wav)
  awk -v s="$secs" 'BEGIN {exit !(s >= 30)}' || fail "timidity renders only $secs s"
  set -- $(amplitudes rendered.wav)
  awk -v r="$2" 'BEGIN {exit !(r >= 0.02)}' || fail "timidity renders near silence (rms $2)"
  # no long silence at the start: the first second already has sound
  set -- $(sox rendered.wav -n trim 0 1 stat 2>&1 | awk '/^RMS +amplitude/ {print $3}')
  awk -v r="$1" 'BEGIN {exit !(r >= 0.02)}' || fail "the first second is silent (rms $1)"
}

work=$(mktemp -d)
xvfb_pid=
trap '[ -z "$xvfb_pid" ] || kill "$xvfb_pid"; rm -rf "$work"' EXIT
cd "$work"
case "$group" in
  datafiles) check_datafiles ;;
  pictures) check_pictures ;;
  samples) check_samples ;;
  music) check_music ;;
  *) echo "unknown group $group" >&2; exit 2 ;;
esac
[ "$failures" -eq 0 ] || exit 1
echo "$group: all checks passed"
