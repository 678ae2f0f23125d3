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

# Allegro's core with our browser platform, built once and kept in
# build-web/prefix (with zlib) until the platform or the toolchain change.
build_allegro() {
  src=$out/allegro-src
  [ -s "$out/sources/$allegro_tarball" ] || fetch_source allegro4.4
  [ -s "$out/sources/$allegro_tarball" ] || { echo "web.sh: could not fetch $allegro_tarball" >&2; exit 1; }
  rm -rf "$src" "$out/allegro-build"
  mkdir -p "$src"
  tar -xzf "$out/sources/$allegro_tarball" -C "$src" --strip-components=1
  emcmake cmake -S "$web/allegro" -B "$out/allegro-build" -DALLEGRO_SOURCE="$src" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix"
  cmake --build "$out/allegro-build" -j"$jobs"
  cmake --install "$out/allegro-build" > /dev/null
}

# zlib from Debian's source package: emscripten's own would be downloaded.
build_zlib() {
  ls "$out"/sources/zlib_*.orig.tar.* > /dev/null 2>&1 || fetch_source zlib/bookworm
  src=$out/zlib-src
  rm -rf "$src"
  mkdir -p "$src" "$prefix/lib" "$prefix/include"
  tar -xf "$out"/sources/zlib_*.orig.tar.* -C "$src" --strip-components=1
  for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast inflate \
           inftrees trees uncompr zutil; do
    emcc -O2 -DHAVE_UNISTD_H -DHAVE_STDARG_H -c "$src/$f.c" -o "$src/$f.o"
  done
  emar rcs "$prefix/lib/libz.a" "$src"/*.o
  cp "$src/zlib.h" "$src/zconf.h" "$prefix/include/"
}

jobs=$(nproc)
prefix=$out/prefix
mkdir -p "$out"
stamp=$(cat "$web"/allegro/* "$(command -v emcc)" | sha256sum)
if [ "$(cat "$prefix/stamp" 2>/dev/null)" != "$stamp" ]; then
  rm -rf "$prefix"
  build_allegro
  build_zlib
  echo "$stamp" > "$prefix/stamp"
fi

# The toolchain file's flags reach a build only when it is first set up.
rm -f "$out/kelwyrm/CMakeCache.txt"

cmake -S . -B "$out/kelwyrm" -DCMAKE_TOOLCHAIN_FILE="$web/emscripten.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DKELWYRM_WEB_PREFIX="$prefix" -DALLEGRO_LIBRARY="$prefix/lib/liballeg.a" \
  -DALLEGRO_INCLUDE_DIR="$prefix/include" -DKELWYRM_HOST_BUILD="$top/build"
cmake --build "$out/kelwyrm" -j"$jobs"

# The folder to serve: both pages and their programs, one data package
# both share (every data file of the native run folder, the same bytes,
# found by the programs in /data), the texts and the licences.
name=kelwyrm-$version-web
stage=$out/dist/$name
rm -rf "$out/dist"
mkdir -p "$stage"
for f in game.js game.wasm mapeditor.js mapeditor.wasm; do
  cp "$out/kelwyrm/run/$f" "$stage/"
done
cp "$web/index.html" "$web/editor.html" "$web/kelwyrm-page.js" "$web/kelwyrm.css" \
  "$web/README.txt" LICENSE THIRD-PARTY-NOTICES.txt "$stage/"
set --
for f in build/run/*; do
  case ${f##*/} in
    game|mapeditor) ;;
    *) set -- "$@" --preload "$f@/data/${f##*/}" ;;
  esac
done
python3 /usr/share/emscripten/tools/file_packager.py "$stage/kelwyrm-data.data" "$@" \
  --js-output="$stage/kelwyrm-data.js" > /dev/null
# The package names its data file as seen from the page: beside it.
sed -i "s|$stage/||g" "$stage/kelwyrm-data.js"

# The same zip from the same files: fixed times, sorted names, no extra fields.
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}
find "$stage" -exec touch -h -d "@$epoch" {} +
(cd "$out/dist" && find "$name" | LC_ALL=C sort | TZ=UTC zip -X -q -@ "$name.zip")
ls -l "$out/dist"
