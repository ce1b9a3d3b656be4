#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package as scripts/package.sh makes it from this build: the files it holds and
# nothing the installed program does not use, the dependencies computed from what the program
# links and what it recommends, its licence, a menu entry that starts the program on any PATH,
# metainfo that AppStream's pedantic validation passes, a program hardened as Debian's are, and
# lintian without an error or a hardening tag.
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
[ "$(dpkg-deb -f "$deb" Recommends)" = "wine, libpulse0, qt6-wayland" ] ||
  fail "Recommends: $(dpkg-deb -f "$deb" Recommends)"

unpacked="$work/unpacked"
dpkg-deb -x "$deb" "$unpacked"
copyright="$unpacked/usr/share/doc/gvtarsis-modmanager/copyright"
grep -qx 'License: GPL-3.0+' "$copyright" && grep -qx 'Files: \*' "$copyright" ||
  fail "the copyright file names no GPL-3.0+ for every file"
entry="$unpacked/usr/share/applications/org.gvtarsis.ModManager.desktop"
desktop-file-validate "$entry" || fail "the menu entry does not validate"
for key in TryExec Exec; do
  grep -qx "$key=/usr/games/gvtarsis-modmanager" "$entry" || fail "$key: $(grep "^$key=" "$entry")"
done
# Pedantic, but for the id's capitals, which the menu entry, icon and window share.
said=$(appstreamcli validate --pedantic --no-net \
  "$unpacked/usr/share/metainfo/org.gvtarsis.ModManager.metainfo.xml") || fail "metainfo: $said"
said=$(grep '^[A-Z]: ' <<<"$said" | grep -v ' cid-contains-uppercase-letter ' || true)
[ -z "$said" ] || fail "metainfo: $said"
for tag in developer_name content_rating launchable release; do
  grep -q "<${tag}[ >]" "$unpacked/usr/share/metainfo/org.gvtarsis.ModManager.metainfo.xml" ||
    fail "the metainfo has no $tag"
done
# The stack protector, which lintian does not look for; the rest it tells as hardening tags.
symbols=$(nm -D "$unpacked/usr/games/gvtarsis-modmanager")
grep -q ' U __stack_chk_fail@' <<<"$symbols" || fail "the program is built without the stack protector"

# The manual page tells where the program looks, its variables, its options and how to take it
# out of a game folder.
man=$(zcat <(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/man/man6/gvtarsis-modmanager.6.gz))
for word in '^\.B WINEPREFIX$' '^\.B WINE$' 'GAMEDIR' '^\.SH PLACEMENT$' 'help' 'version'; do
  grep -q -- "$word" <<<"$man" || fail "the manual page does not say $word"
done
said=$(lintian -I --fail-on error "$deb" 2>&1) || fail "lintian reports errors: $said"
if grep ' hardening-' <<<"$said"; then fail "not hardened as Debian's programs are"; fi
echo "package: ok"
