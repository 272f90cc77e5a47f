#!/bin/sh
# Installs a build into a temporary DESTDIR and checks the tree: every file in its place
# and nothing else, the launcher entry, metadata and file type pass their validators
# (the launcher opening the files of the type the game defines), the manual
# pages name this version, the installed programs run, and uninstalling leaves only the
# shared folders.
# Usage: check_install.sh <build dir> <application id> <version>
set -eu
build=$1 id=$2 version=$3
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
stage=$tmp/root
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
usr=$stage/usr

expected="bin/tombweaver
bin/tombweaver-solve
share/tombweaver/data/tombweaver.kzp
share/applications/$id.desktop
share/metainfo/$id.metainfo.xml
share/mime/packages/$id.xml
share/man/man6/tombweaver.6.gz
share/man/man1/tombweaver-solve.1.gz
share/icons/hicolor/scalable/apps/$id.svg"
for size in 16 24 32 48 64 128 256; do
  expected="$expected
share/icons/hicolor/${size}x$size/apps/$id.png"
  file -b "$usr/share/icons/hicolor/${size}x$size/apps/$id.png" | grep -q "PNG image data, $size x $size," ||
    fail "the ${size}x$size icon is not $size x $size pixels"
done
found=$(cd "$usr" && find . -type f | sed 's|^\./||' | sort)
[ "$found" = "$(echo "$expected" | sort)" ] ||
  { echo "$expected" | sort >"$tmp/expected"; echo "$found" | diff "$tmp/expected" - || true
    fail "the installed files differ from the expected ones (above)"; }

desktop-file-validate "$usr/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" >"$tmp/as.log" 2>&1 ||
  { cat "$tmp/as.log"; fail "appstreamcli validate"; }
grep -q "<release version=\"$version\" date=\"[0-9-]*\"" "$usr/share/metainfo/$id.metainfo.xml" ||
  fail "the metadata has no release $version"
grep -qx "StartupWMClass=$id" "$usr/share/applications/$id.desktop" || fail "the window class is not $id"

# The file type: a database built from the definition alone (the system's is rebuilt by
# the packaging trigger) names *.non and text/plain, and the launcher takes its files.
mkdir -p "$tmp/mime/packages"
cp "$usr/share/mime/packages/$id.xml" "$tmp/mime/packages/"
XDG_DATA_DIRS=$tmp update-mime-database "$tmp/mime" 2>"$tmp/mime.log" && [ ! -s "$tmp/mime.log" ] ||
  { cat "$tmp/mime.log"; fail "update-mime-database"; }
grep -qx "50:application/x-nonogram:\*.non" "$tmp/mime/globs2" || fail "the file type has no *.non glob"
grep -qx "application/x-nonogram text/plain" "$tmp/mime/subclasses" || fail "the file type is not text"
grep -qx "MimeType=application/x-nonogram;" "$usr/share/applications/$id.desktop" ||
  fail "the launcher does not take .non files"
grep -qx "Exec=tombweaver %F" "$usr/share/applications/$id.desktop" || fail "the launcher passes no files"
for page in man6/tombweaver.6 man1/tombweaver-solve.1; do
  gzip -t "$usr/share/man/$page.gz" || fail "the manual page $page is not gzipped"
  gzip -dc "$usr/share/man/$page.gz" | grep -q "^\.TH TOMBWEAVER.* [16] .*tombweaver $version" ||
    fail "the manual page $page does not name version $version"
done
meta=$usr/share/metainfo/$id.metainfo.xml
grep -q "<control>keyboard</control>" "$meta" || fail "the metadata does not name keyboard control"
for shot in $(cd "$source_dir" && ls docs/*.png); do
  grep -q "<image>https://.*/$shot</image>" "$meta" || fail "the metadata does not list the screenshot $shot"
done
[ "$("$usr/bin/tombweaver" --version)" = "tombweaver $version" ] || fail "tombweaver --version"
[ "$("$usr/bin/tombweaver-solve" --version)" = "tombweaver-solve $version" ] || fail "tombweaver-solve --version"

DESTDIR=$stage cmake -DMANIFEST="$build/install_manifest.txt" -P "$source_dir/dist/uninstall.cmake" >/dev/null
left=$(find "$stage" -mindepth 1 | sed "s|^$stage/||" | sort | tr '\n' ' ')
[ "$left" = "usr usr/bin usr/share usr/share/applications usr/share/icons usr/share/icons/hicolor usr/share/man usr/share/man/man1 usr/share/man/man6 usr/share/metainfo usr/share/mime usr/share/mime/packages " ] ||
  fail "uninstall left: $left"
echo "install tree, validators and uninstall: ok"
