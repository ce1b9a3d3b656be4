#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package as scripts/package.sh makes it from this build: the files it holds, the
# dependencies computed from what the program links, and lintian without an error.
set -euo pipefail
build=$1
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

deb=$(GVT_BUILD_DIR="$build" "$top/scripts/package.sh" "$work")
[ "${deb##*/}" = "gvtarsis-modmanager_1.2_$(dpkg --print-architecture).deb" ] || fail "named $deb"

files=$(dpkg-deb -c "$deb" | awk '{ print $1 " " $6 }' | grep -v '^d' | cut -d' ' -f2 | sort)
expected=$(sort <<'LIST'
./usr/games/gvtarsis-modmanager
./usr/libexec/gvtarsis-modmanager/gvtarsis-gamefolder
./usr/share/applications/org.gvtarsis.ModManager.desktop
./usr/share/doc/gvtarsis-modmanager/changelog.gz
./usr/share/doc/gvtarsis-modmanager/copyright
./usr/share/icons/hicolor/256x256/apps/org.gvtarsis.ModManager.png
./usr/share/icons/hicolor/48x48/apps/org.gvtarsis.ModManager.png
./usr/share/man/man6/gvtarsis-modmanager.6.gz
./usr/share/metainfo/org.gvtarsis.ModManager.metainfo.xml
LIST
)
[ "$files" = "$expected" ] || fail "files: $(diff <(echo "$expected") <(echo "$files"))"

# What the program links, and only that: the sound server's library is loaded when the tune
# plays, and is no dependency.
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libmpg123-0; do
  [[ ", $depends," == *", $library "* || ", $depends," == *", $library,"* ]] ||
    fail "no $library in: $depends"
done
if grep -q libpulse <<<"$depends"; then fail "libpulse is loaded, not linked: $depends"; fi
[ "$(dpkg-deb -f "$deb" Recommends)" = "wine" ] || fail "Recommends: $(dpkg-deb -f "$deb" Recommends)"

# The manual page tells where the program looks, its variables, its options and how to take it
# out of a game folder.
man=$(zcat <(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/man/man6/gvtarsis-modmanager.6.gz))
for word in '^\.B WINEPREFIX$' '^\.B WINE$' 'GAMEDIR' '^\.SH PLACEMENT$' 'help' 'version'; do
  grep -q -- "$word" <<<"$man" || fail "the manual page does not say $word"
done
lintian --fail-on error "$deb" || fail "lintian reports errors"
echo "package: ok"
