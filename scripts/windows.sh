#!/bin/sh
# Builds the Windows release, as root on Debian 12:
#
#   build-windows/dist/kelwyrm-VERSION-windows-x64.zip   the folder to unpack and play from
#   build-windows/dist/kelwyrm-VERSION-setup.exe         the installer (NSIS)
#
# Allegro 4.4.3.1 comes from Debian's own source package and is built once as
# a static library (kept in build-windows/allegro until its patches or the
# toolchain change); both programs are cross-compiled from the same CMake
# lists as on Linux. The data files are the native build's: datafiles, map
# files, samples and the patch set are the same bytes on both systems.
set -eu
cd "$(dirname "$0")/.."
scripts/setup.sh --windows

top=$(pwd)
out=$top/build-windows
toolchain=$top/packaging/windows/mingw-w64.cmake
patches=$top/packaging/windows/allegro-patches
version=$(sed -n 's/^project(Kelwyrm VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
tarball=allegro4.4_4.4.3.1.orig.tar.gz
jobs=$(nproc)

# The upstream tarball through a private apt set-up that adds the source
# entries of the archive this system installs from; the system's own apt
# set-up is left alone.
fetch_allegro() {
  apt_dir=$out/allegro/apt
  mkdir -p "$apt_dir/sources" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial"
  if [ -s /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
      > "$apt_dir/sources/debian-src.sources"
  else
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list > "$apt_dir/sources/debian-src.list"
  fi
  set -- -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$apt_dir/sources" \
    -o Dir::State::Lists="$apt_dir/lists" -o Dir::Cache="$apt_dir/cache"
  apt-get "$@" update
  # The Debian revision's own patch tarball is not on the archive, so apt
  # ends with an error after fetching (and checking) the upstream tarball:
  # the tarball is what counts.
  (cd "$out/allegro" && apt-get "$@" source --download-only allegro4.4) || true
  if [ ! -s "$out/allegro/$tarball" ]; then
    echo "windows.sh: could not fetch $tarball from Debian's archive" >&2
    exit 1
  fi
}

# Allegro as a static library, with the patches it needs under Wine.
build_allegro() {
  src=$out/allegro/src
  rm -rf "$src" "$out/allegro/build" "$out/allegro/prefix"
  mkdir -p "$src"
  tar -xzf "$out/allegro/$tarball" -C "$src" --strip-components=1
  for p in "$patches"/*.patch; do
    patch -d "$src" -p1 --quiet < "$p"
  done
  cmake -S "$src" -B "$out/allegro/build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$out/allegro/prefix" -DSHARED=off \
    -DWANT_ALLEGROGL=off -DWANT_LOGG=off -DWANT_JPGALLEG=off -DWANT_EXAMPLES=off \
    -DWANT_TOOLS=off -DWANT_TESTS=off -DWANT_DOCS=off
  cmake --build "$out/allegro/build" -j"$jobs"
  cmake --install "$out/allegro/build" > /dev/null
}

mkdir -p "$out/allegro"
stamp=$(cat "$toolchain" "$patches"/*.patch | sha256sum)
if [ "$(cat "$out/allegro/prefix/stamp" 2>/dev/null)" != "$stamp" ]; then
  [ -s "$out/allegro/$tarball" ] || fetch_allegro
  build_allegro
  echo "$stamp" > "$out/allegro/prefix/stamp"
fi

cmake -S . -B "$out/kelwyrm" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
  -DALLEGRO_LIBRARY="$out/allegro/prefix/lib/liballeg.a" \
  -DALLEGRO_INCLUDE_DIR="$out/allegro/prefix/include" -DKELWYRM_HOST_BUILD="$top/build"
cmake --build "$out/kelwyrm" -j"$jobs"

# The folder both the zip and the installer hold: the programs, every data
# file of the native run folder but its programs, and the texts for players
# with Windows line ends.
name=kelwyrm-$version
stage=$out/stage/$name
dist=$out/dist
rm -rf "$out/stage" "$dist"
mkdir -p "$stage" "$dist"
cp "$out/kelwyrm/run/kelwyrm.exe" "$out/kelwyrm/run/kelwyrm-editor.exe" "$stage/"
for f in build/run/*; do
  case ${f##*/} in
    game|mapeditor) ;;
    *) cp "$f" "$stage/" ;;
  esac
done
for f in packaging/windows/README.txt LICENSE THIRD-PARTY-NOTICES.txt; do
  base=${f##*/}
  sed 's/$/\r/' "$f" > "$stage/${base%.txt}.txt"
done

# The same zip from the same files: fixed times, sorted names, no extra fields.
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}
find "$out/stage" -exec touch -h -d "@$epoch" {} +
(cd "$out/stage" && find "$name" | LC_ALL=C sort | TZ=UTC zip -X -q -@ "$dist/$name-windows-x64.zip")

# The installer's file list, so that the uninstaller removes exactly what was
# installed, each file only while it holds the installed bytes: their CRC-32
# (the one gzip's trailer carries, as Windows' RtlComputeCrc32 computes it).
crc32() {
  gzip -c "$1" | tail -c 8 | od -An -tx4 -N4 --endian=little | tr -d ' \n'
}
files=$out/installer-files.nsh
{
  echo '!macro InstallFiles'
  for f in "$stage"/*; do printf '  File "%s"\n' "$f"; done
  echo '!macroend'
  echo '!macro RemoveFiles'
  for f in "$stage"/*; do printf '  !insertmacro RemoveIfUnchanged "%s" "%s"\n' "${f##*/}" "$(crc32 "$f")"; done
  echo '!macroend'
} > "$files"
makensis -V2 -DVERSION="$version" -DFILES="$files" -DOUTFILE="$dist/$name-setup.exe" \
  packaging/windows/installer.nsi

ls -l "$dist"
