#!/bin/sh
# Builds the Debian package with cpack and checks it: it holds the named files and everything
# else that `cmake --install` installs, nothing more, and its control fields are filled in, the
# dependencies among them.
# Usage: check-package.sh CMAKE CPACK BUILD-FOLDER OUT-FOLDER PACKAGE VERSION FILE...
set -eu
cmake=$1 cpack=$2 build=$3 out=$4 package=$5 version=$6
shift 6
rm -rf "$out"
mkdir -p "$out"
if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log"
    exit 1
fi
deb=$out/${package}_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { echo "cpack made no $deb"; ls "$out"; exit 1; }
status=0

# Every path in the package, without the leading "." and without folders.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' | sed 's|^\./|/|' | sort >"$out/packaged"
for file in "$@"; do
    grep -qxF "$file" "$out/packaged" || { echo "the package lacks $file"; status=1; }
done

DESTDIR=$out/staging "$cmake" --install "$build" --prefix /usr >/dev/null
# Manual pages and the changelog are packed compressed, though installed in plain.
(cd "$out/staging" && find . ! -type d | sed -e 's|^\.||' -e '\#^/usr/share/man/\|/changelog$#{/\.gz$/!s/$/.gz/}' |
    sort) >"$out/installed"
if ! diff -u "$out/installed" "$out/packaged"; then
    echo "the package differs from what cmake --install installs (- installed only, + packaged only)"
    status=1
fi

# The metadata and the desktop entry it launches, as they lie once installed.
appstreamcli validate-tree --no-net "$out/staging" || { echo "appstreamcli rejects the installed tree"; status=1; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = "$package" ] || { echo "Package: $(field Package)"; status=1; }
[ "$(field Version)" = "$version" ] || { echo "Version: $(field Version), not $version"; status=1; }
[ "$(field Section)" = utils ] || { echo "Section: $(field Section)"; status=1; }
for name in Maintainer Homepage Description; do
    [ -n "$(field $name)" ] || { echo "no $name"; status=1; }
done
# From the libraries the programs link, not from a list: Qt's widgets and network, GPGME (which
# brings gpg, the program it verifies signatures with) and the C library.
for library in libqt6widgets6 libqt6network6 libgpgme11 libc6; do
    field Depends | grep -q "\b$library\b" || { echo "Depends lacks $library: $(field Depends)"; status=1; }
done
# Qt's Chinese texts, which the window loads as a file.
field Depends | grep -q "\bqt6-translations-l10n\b" || { echo "Depends lacks qt6-translations-l10n"; status=1; }
[ $status -eq 0 ] && echo "$deb: $(wc -l <"$out/packaged") files, Depends: $(field Depends)"
exit $status
