#!/bin/sh
# Installs the Debian packages that are missing, then builds both programs,
# the assets and the levels into build/run.
set -eu
cd "$(dirname "$0")/.."

PACKAGES="cmake make g++ clang pkg-config python3 libgtest-dev libbenchmark-dev
  liballegro4-dev allegro4-doc libloadpng4-dev libsndfile1-dev libsmf-dev
  timgm6mb-soundfont imagemagick sox timidity xvfb xdotool x11-utils"

missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "Installing:$missing"
  apt-get update
  DEBIAN_FRONTEND=noninteractive apt-get install -y $missing
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
