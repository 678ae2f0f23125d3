#!/bin/sh
# Checks the Debian package the package build made, with dpkg's own tools
# and Debian's checkers: the file list in the games layout, the control
# fields, lintian (pedantic, information tags included: only the override
# may name one), the software-centre entry, the menu entries, the manual
# pages against the programs' usage, the icons, and the programs' names and
# data folder.
#   check_package.sh PACKAGE_BUILD_DIR
set -eu
deb=$(ls "$1"/kelwyrm_*_*.deb)
outside=${TMPDIR:-/tmp}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# Every tool below keeps its scratch files in this test's own folder, gone
# with it: lintian leaves its caches (mldbm-elf-*) in TMPDIR for good.
mkdir "$tmp/scratch"
touch "$tmp/start"
export TMPDIR="$tmp/scratch"

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's,^\./,/,; s,/$,,' | sort >"$tmp/list"
data=/usr/share/games/kelwyrm
doc=/usr/share/doc/kelwyrm
want="/usr/games/kelwyrm /usr/games/kelwyrm-editor
  /usr/share/applications/kelwyrm.desktop /usr/share/applications/kelwyrm-editor.desktop
  /usr/share/metainfo/io.github.kelwyrm.kelwyrm.metainfo.xml
  /usr/share/man/man6/kelwyrm.6.gz /usr/share/man/man6/kelwyrm-editor.6.gz
  $doc/copyright $doc/changelog.gz $doc/THIRD-PARTY-NOTICES.txt /usr/share/lintian/overrides/kelwyrm"
for f in pal.dat tiles.dat pwalk.dat enemy.dat border.bmp jingel.mid patches.dat fires.wav hit.wav \
         dies.wav jumps.wav congrats.wav aou.wav omgdied.wav map2.dat map3.dat map4.dat map5.dat demo.replay; do
  want="$want $data/$f"
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
font=$(dpkg-query -W -f='${Version}' timgm6mb-soundfont)
[ "$(dpkg-deb -f "$deb" Built-Using)" = "timgm6mb-soundfont (= $font)" ] || fail "Built-Using: $(dpkg-deb -f "$deb" Built-Using)"
dpkg-deb -f "$deb" Maintainer | grep -qv localhost || fail "Maintainer on localhost"

# lintian says it runs as root on stderr; its findings go to stdout.
lintian --pedantic --display-info "$deb" >"$tmp/lintian" 2>"$tmp/lintian.err" || { cat "$tmp/lintian" "$tmp/lintian.err"; fail "lintian"; }
[ ! -s "$tmp/lintian" ] || { cat "$tmp/lintian"; fail "lintian found the above"; }
lintian --pedantic --display-info --show-overrides "$deb" 2>/dev/null >"$tmp/overridden"
[ "$(grep -c '^O:' "$tmp/overridden")" -eq 1 ] && grep -q '^O: kelwyrm: spelling-error-in-binary initilize' "$tmp/overridden" ||
  { cat "$tmp/overridden"; fail "the override covers something else"; }
left=$(find "$outside" -maxdepth 1 -newer "$tmp/start" -name 'mldbm-*')
[ -z "$left" ] || fail "lintian left files outside the test's folder: $left"

dpkg-deb -x "$deb" "$tmp/root"
root=$tmp/root
appstreamcli validate --no-net "$root/usr/share/metainfo/"*.xml || fail "metainfo"
desktop-file-validate "$root/usr/share/applications/"*.desktop || fail "desktop entries"
for s in 16 32 48 64 128 256; do
  for n in kelwyrm kelwyrm-editor; do
    got=$(identify -format '%wx%h %[channels]' "$root/usr/share/icons/hicolor/${s}x$s/apps/$n.png")
    [ "$got" = "${s}x$s srgba" ] || fail "$n.png at $s: $got"
  done
done

# Each program prints its installed name, and its page names every option
# its usage lists.
for n in kelwyrm kelwyrm-editor; do
  "$root/usr/games/$n" --help >"$tmp/usage"
  head -1 "$tmp/usage" | grep -q "^Usage: $n " || fail "$n --help: $(head -1 "$tmp/usage")"
  MANWIDTH=80 man --warnings -l "$root/usr/share/man/man6/$n.6.gz" >"$tmp/page" 2>"$tmp/man.err"
  [ ! -s "$tmp/man.err" ] || { cat "$tmp/man.err"; fail "man -l $n.6.gz"; }
  grep -q "^NAME" "$tmp/page" || fail "$n.6.gz has no NAME"
  for option in $(grep -o '^  --[a-z-]*' "$tmp/usage"); do
    grep -q -- "$option" "$tmp/page" || fail "$n.6.gz does not name $option"
  done
  grep -q -- "$data" "$tmp/page" || fail "$n.6.gz does not name $data"
done
# The data folder compiled in is the one the package installs.
grep -q "$data" "$root/usr/games/kelwyrm" || fail "kelwyrm does not look in $data"
! grep -q /usr/local "$root/usr/games/kelwyrm" || fail "kelwyrm looks in /usr/local"
echo "package checked: $(basename "$deb")"
