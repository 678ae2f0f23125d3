#!/bin/sh
# Installs the Debian packages that are missing, then builds both programs,
# the assets and the levels into build/run.
#
#   scripts/setup.sh           what building and playing need
#   scripts/setup.sh --test    that, plus what the tests need
#   scripts/setup.sh --windows what building for Windows needs, too
#   scripts/setup.sh --web     what building for the browser and its tests need, too
set -eu
cd "$(dirname "$0")/.."

# Building compiles the unit tests and benchmarks too, so their libraries are
# part of the build; the asset generator needs the sound font, libpng, and
# faketime so that the patch set records a fixed date; levelc reads Tiled
# maps with pugixml and zlib; CPack's Debian package asks dpkg-shlibdeps and
# file for its dependencies, and dpkg-buildflags (dpkg-dev) gives the
# package's build its flags.
BUILD_PACKAGES="cmake make g++ pkg-config python3 libgtest-dev libbenchmark-dev
  liballegro4-dev libloadpng4-dev libpng-dev libsndfile1-dev libsmf-dev
  timgm6mb-soundfont faketime libpugixml-dev zlib1g-dev dpkg-dev file"
# Only the tests run these: the sanitizer build, the outside tools that check
# our files (Tiled, and zstd to make a layer Tiled keeps but we refuse;
# desktop-file-validate for the menu entries; Debian's package checker
# lintian, appstreamcli for the software-centre entry and man for the manual
# pages), and the private X servers of the real-window tests.
TEST_PACKAGES="clang allegro4-doc imagemagick sox timidity xvfb xdotool x11-utils tiled zstd
  desktop-file-utils lintian appstream man-db"

# The Windows release (scripts/windows.sh): the cross compiler and zlib for
# it, patch for Allegro's source, icotool for the icon, zip and the
# installer builder. The tests build it too and run it under Wine; Wine's
# recommended packages (32-bit Wine, fonts, media) are not needed for that.
WINDOWS_PACKAGES="g++-mingw-w64-x86-64 libz-mingw-w64-dev patch icoutils zip nsis"
WINE_PACKAGES="wine64 wine"
# The browser release (scripts/web.sh): Debian's emscripten (its system
# libraries come prebuilt, so it works offline) and zip; its tests
# drive Debian's Chromium through Selenium. Recommended packages would add
# desktop services a headless browser does not use.
WEB_PACKAGES="emscripten zip chromium chromium-driver python3-selenium"

packages=$BUILD_PACKAGES
lean=""
case "${1:-}" in
  --test) packages="$packages $TEST_PACKAGES $WINDOWS_PACKAGES"; lean=$WINE_PACKAGES ;;
  --windows) packages="$packages $WINDOWS_PACKAGES" ;;
  --web) lean=$WEB_PACKAGES ;;
esac

missing_of() {
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}
missing=$(missing_of $packages)
missing_lean=$(missing_of $lean)
if [ -n "$missing$missing_lean" ]; then
  echo "Installing:" $missing $missing_lean
  apt-get update
  [ -z "$missing" ] || DEBIAN_FRONTEND=noninteractive apt-get install -y $missing
  [ -z "$missing_lean" ] ||
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends $missing_lean
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
