#!/bin/sh
# Builds the Debian package from the build tree into a temporary folder and
# checks it with dpkg's own tools: the file list, the dependencies, and the
# menu entries and icons inside it.
#   check_package.sh BUILD_DIR
set -eu
build=$1
tmp=$(mktemp -d)
# CPack, like every install, writes its manifest into the build folder.
manifest="$build/install_manifest.txt"
[ -e "$manifest" ] && had_manifest=1 || had_manifest=0
cleanup() {
  rm -rf "$tmp"
  [ $had_manifest -eq 1 ] || rm -f "$manifest"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log"; fail "cpack"; }
deb=$(ls "$tmp"/kelwyrm_*_*.deb)
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's,^\./,/,; s,/$,,' | sort >"$tmp/list"

want="/usr/bin/kelwyrm /usr/bin/kelwyrm-editor
  /usr/share/applications/kelwyrm.desktop /usr/share/applications/kelwyrm-editor.desktop"
for f in pal.dat tiles.dat pwalk.dat enemy.dat border.bmp jingel.mid patches.dat fires.wav hit.wav \
         dies.wav jumps.wav congrats.wav aou.wav omgdied.wav map2.dat map3.dat map4.dat map5.dat demo.replay; do
  want="$want /usr/share/kelwyrm/$f"
done
for s in 16 32 48 64 128 256; do
  want="$want /usr/share/icons/hicolor/${s}x$s/apps/kelwyrm.png /usr/share/icons/hicolor/${s}x$s/apps/kelwyrm-editor.png"
done
for f in $want; do
  grep -qx "$f" "$tmp/list" || fail "$f is not in the package"
done
# Nothing else but the folders that hold them: no editor map, no test program.
files=$(dpkg-deb -c "$deb" | grep -vc '^d')
[ "$files" -eq "$(echo $want | wc -w)" ] || { dpkg-deb -c "$deb"; fail "$files files, expected $(echo $want | wc -w)"; }

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
echo "$depends" | grep -q 'liballegro4.4' || fail "no dependency on liballegro4.4"

dpkg-deb -x "$deb" "$tmp/root"
desktop-file-validate "$tmp/root/usr/share/applications/"*.desktop || fail "desktop entries"
for s in 16 32 48 64 128 256; do
  for n in kelwyrm kelwyrm-editor; do
    got=$(identify -format '%wx%h %[channels]' "$tmp/root/usr/share/icons/hicolor/${s}x$s/apps/$n.png")
    [ "$got" = "${s}x$s srgba" ] || fail "$n.png at $s: $got"
  done
done
echo "package checked: $(basename "$deb")"
