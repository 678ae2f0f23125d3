#!/bin/sh
# Sets everything up and starts the game in build/run.
set -eu
cd "$(dirname "$0")"
scripts/setup.sh
if [ -z "${DISPLAY:-}" ]; then
  echo "No display (DISPLAY is not set): the game is built in build/run; start it there from an X session with ./game"
  exit 1
fi
cd build/run
exec ./game
