#!/bin/sh
# Builds the Debian package in a build folder of its own, configured for it
# (installed under /usr in the games layout, Debian's hardening flags,
# stripped programs), and prints the package's path.
#
#   scripts/package-deb.sh [BUILD_DIR [CMAKE_OPTION]...]
#
# BUILD_DIR is build-deb by default; the options go to CMake, e.g.
# -DKELWYRM_MAINTAINER="Your Name <you@example.net>". Needs what
# scripts/setup.sh installs.
set -eu
src=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$src/build-deb}
[ $# -gt 0 ] && shift
cmake -S "$src" -B "$build" -DKELWYRM_DEBIAN_PACKAGE=ON "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/kelwyrm_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/kelwyrm_*.deb
