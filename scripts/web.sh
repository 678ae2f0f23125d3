#!/bin/sh
# Builds the browser release, as root on Debian 12:
#
#   build-web/dist/kelwyrm-VERSION-web/       the folder to put on a web server
#   build-web/dist/kelwyrm-VERSION-web.zip    the same folder, zipped
#
# Allegro 4.4.3.1's core comes from the same upstream tarball the Windows
# build uses (Debian's source package) and is compiled with emscripten
# together with our own browser platform (packaging/web); zlib comes from
# Debian's source package too, as emscripten's own ports would download it.
# Both programs are built from the same CMake lists as on Linux. The data
# files are the native build's (build/run), the same bytes.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh --web

top=$(pwd)
out=$top/build-web
web=$top/packaging/web
version=$(sed -n 's/^project(Kelwyrm VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
allegro_tarball=allegro4.4_4.4.3.1.orig.tar.gz
# emcc's optimising link runs its JS tools under node, which look for their
# modules (acorn) in Debian's node folder.
export NODE_PATH=/usr/share/nodejs
export EM_CACHE=${EM_CACHE:-}
[ -n "$EM_CACHE" ] || unset EM_CACHE

# Source packages through a private apt set-up that adds the source entries
# of the archive this system installs from; the system's own apt set-up is
# left alone. Only the upstream tarball counts: apt may end with an error
# on a Debian revision's patch tarball that the archive no longer has.
fetch_source() {
  package=$1
  apt_dir=$out/apt
  mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$out/sources"
  if [ -s /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      > "$apt_dir/sources/debian-src.sources"
  else
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > "$apt_dir/sources/debian-src.list"
  fi
  set -- -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt_dir/sources" \
    -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
  [ -e "$apt_dir/lists/updated" ] || { apt-get "$@" update && touch "$apt_dir/lists/updated"; }
  (cd "$out/sources" && apt-get "$@" source --download-only "$package") || true
}
