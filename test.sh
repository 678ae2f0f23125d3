#!/bin/sh
# Sets everything up and runs every test: the normal build (unit, asset,
# level and real-window tests), then the unit tests and a bounded fuzz run
# again under AddressSanitizer and UndefinedBehaviorSanitizer, with the
# real-window tests driving the sanitized programs and Tiled's files read by
# the sanitized level compiler; then the Windows release, built and run
# under Wine; last the browser build, played in headless Chromium.
set -eu
cd "$(dirname "$0")"
scripts/setup.sh --test

ctest --test-dir build --output-on-failure -j"$(nproc)"

# Assets and Allegro's own objects are kept until the process ends, by
# design, so leak reports at exit say nothing; every other error stops.
export ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_COMPILER=clang++ -DSANITIZE=ON
cmake --build build-sanitize -j"$(nproc)"
ctest --test-dir build-sanitize --output-on-failure -j"$(nproc)" -L 'unit|fuzz|realwin|tiled'

scripts/windows.sh
ctest --test-dir build-windows/kelwyrm --output-on-failure -L wine

# The browser tests are known to the native build only once the browser's
# folder exists, so it is configured again after the web build.
scripts/web.sh
cmake -S . -B build
ctest --test-dir build --output-on-failure -L web
echo "All tests passed."
