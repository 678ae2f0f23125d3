#!/bin/bash
# Measures the game's CPU use over 10 s in a real window under Xvfb, with its
# sound consumed at real-time pace: ALSA writes into a FIFO that is drained at
# 44100 stereo 16-bit frames a second, so the mixer works as hard as it would
# with a sound card (a plain file sink takes sound faster than real time).
# Usage: measure_cpu.sh RUN_DIR   (e.g. build/run)
set -eu
run_dir=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/game-cpu-XXXXXX)
cp -r "$run_dir"/. "$work"
cd "$work"
mkfifo audio.fifo
cat > capture.conf <<CONF
pcm.!default { type plug; slave { pcm "capfile"; format S16_LE; rate 44100; channels 2 } }
pcm.capfile { type file; slave.pcm "null"; file "$work/audio.fifo"; format "raw" }
CONF

python3 - "$work/audio.fifo" <<'PY' &
import sys, time
bytes_per_second = 44100 * 4
f = open(sys.argv[1], "rb", buffering=0)
start, taken = time.time(), 0
while True:
    due = int((time.time() - start) * bytes_per_second) - taken
    if due > 0:
        data = f.read(min(due, 65536))
        if not data:
            break
        taken += len(data)
    time.sleep(0.01)
PY
reader=$!

exec 3>xvfb.display
Xvfb -displayfd 3 -noreset -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
display=:$(cat xvfb.display)

DISPLAY=$display ALSA_CONFIG_PATH=/usr/share/alsa/alsa.conf:$work/capture.conf ./game >/dev/null 2>&1 &
game=$!
sleep 3

ticks() { awk '{print $14 + $15}' /proc/$game/stat; }
hz=$(getconf CLK_TCK)
a=$(ticks); t0=$(date +%s.%N)
sleep 10
b=$(ticks); t1=$(date +%s.%N)
awk -v a="$a" -v b="$b" -v hz="$hz" -v t0="$t0" -v t1="$t1" \
  'BEGIN { printf "game CPU over 10 s: %.2f %% of one core\n", 100 * (b - a) / hz / (t1 - t0) }'

kill $game $reader $xvfb 2>/dev/null || true
rm -rf "$work"
