#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The install script on homes the test writes itself: a game in a Lutris prefix whose path holds
# blanks, "=", "$" and "%", found with no variable set, whose menu entry GLib starts; the folder
# named with a trailing slash and relative to where the user stands; a prefix that only
# $WINEPREFIX names with the game on a second drive, kept for the launcher with its $WINE; a
# second game in a bottle (--prefix, --all, uninstall one); a read-only game folder and a full
# disk that leave everything as it was; a folder name that no menu entry can carry; and
# --uninstall that leaves nothing behind.
set -euo pipefail
build=$1
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
err=$(mktemp) ran=$(mktemp) cache=$(mktemp -d) # outside the tree that is compared
trap 'chmod -R u+w "$work"; rm -rf "$work" "$err" "$ran" "$cache"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

export HOME="$work/home" XDG_DATA_HOME="" XDG_CONFIG_HOME="" GVT_BUILD_DIR="$build"
unset WINEPREFIX WINE
apps="$HOME/.local/share/applications"
install=$top/scripts/install.sh

# A prefix with the game installed as its Windows installer leaves it.
make_prefix() {
  local prefix=$1 game=$2
  mkdir -p "$prefix/drive_c/$game/Mods/GvTarsis" "$prefix/dosdevices"
  ln -s ../drive_c "$prefix/dosdevices/c:"
  printf 'WINE REGISTRY Version 2\n\n[Software\\\\Wow6432Node\\\\Oxley Games\\\\Grimvale Tarsis] 1\n"GAMEDIR"="C:\\\\%s"\n' \
    "${game//\//\\\\}" >"$prefix/system.reg"
}
lutris="$HOME/Games/gt [patch=1.1] \$1 50%"
make_prefix "$lutris" "Games/Grimvale Tarsis"
mkdir -p "$HOME/.config/lutris/games"
printf 'game:\n  exe: drive_c/Games/Grimvale Tarsis/gvtarsis.exe\n  prefix: %s\nwine:\n  version: lutris-7.2\n' \
  "$lutris" >"$HOME/.config/lutris/games/grimvale-tarsis-1700000000.yml"
game="$lutris/drive_c/Games/Grimvale Tarsis"
before=$(find "$work" | sort)

entries() { find "$apps" -name '*.desktop' 2>/dev/null | sort; }
# The last argument of an entry's Exec key (the launcher, or what sh starts), unquoted as
# desktop entry files are read.
exec_of() {
  # shellcheck disable=SC2016 # the words as the file holds them
  sed -n 's/^Exec=//p' "$1" | sed 's/\\\\/\\/g' |
    sed 's/^\/bin\/sh -c "exec \\"\\$0\\"" //; s/^"\(.*\)"$/\1/; s/\\\([`$"\\]\)/\1/g; s/%%/%/g'
}
# The entry as a GLib-based menu starts it (no display needed): the launcher, a stub for the
# while, runs by its path in the game folder, in that folder.
check_launch() {
  local entry=$1 place=$2 launcher="$2/gvtarsis-modmanager" n
  mv "$launcher" "$launcher.real"
  # shellcheck disable=SC2016 # for the stub to expand
  printf '#!/bin/sh\nprintf "%%s\\n%%s\\n" "$0" "$PWD" >"%s"\n' "$ran" >"$launcher"
  chmod +x "$launcher"
  : >"$ran"
  XDG_CACHE_HOME=$cache gio launch "$entry" 2>"$err" || fail "GLib does not start the entry: $(cat "$err")"
  for ((n = 0; n < 100; n++)); do [ ! -s "$ran" ] || break; sleep 0.05; done
  [ "$(cat "$ran")" = "$launcher"$'\n'"$place" ] || fail "GLib started: $(cat "$ran")"
  mv -f "$launcher.real" "$launcher"
}
check_entry() {
  local entry=$1 place=$2
  desktop-file-validate "$entry" || fail "the menu entry does not validate"
  [ "$(exec_of "$entry")" = "$place/gvtarsis-modmanager" ] || fail "Exec: $(grep ^Exec "$entry")"
  grep -qxF "Path=$place" "$entry" || fail "Path: $(grep ^Path "$entry")"
  [ -x "$place/gvtarsis-modmanager" ] || fail "no launcher in $place"
}

# One game, found in the Lutris prefix without any variable.
"$install" >/dev/null
[ "$(entries | wc -l)" = 1 ] || fail "entries: $(entries)"
check_entry "$(entries)" "$game"
check_launch "$(entries)" "$game"
grep -qxF "Name=GVTarsis Mod Manager" "$(entries)" || fail "name of a single install"

# The same folder named relative to where the user stands, with a trailing slash: replaced.
out=$(cd "$HOME/Games" && "$install" "${lutris##*/}/drive_c/Games/Grimvale Tarsis/")
grep -qF "Replaced the install in $game" <<<"$out" || fail "not replaced: $out"
[ "$(entries | wc -l)" = 1 ] || fail "a second entry for the same folder"
check_entry "$(entries)" "$game"
# A folder that its prefix does not record, or in a prefix that records none, is refused; so
# is any install while the settings file, read before every prefix, names a folder that is gone.
mkdir -p "$lutris/drive_c/Games/Other" "$HOME/Empty/dosdevices" "$HOME/Empty/drive_c/GT"
printf 'WINE REGISTRY Version 2\n' >"$HOME/Empty/system.reg"
for folder in "$lutris/drive_c/Games/Other" "$HOME/Empty/drive_c/GT"; do
  if "$install" "$folder" 2>/dev/null; then fail "installed into $folder"; fi
done
mkdir -p "$HOME/.config/Oxley Games"
printf '[General]\nGAMEDIR=/gone/Grimvale Tarsis\n' >"$HOME/.config/Oxley Games/Grimvale Tarsis.conf"
if "$install" 2>"$err"; then fail "installed under a settings file naming a folder that is gone"; fi
grep -q "reads before any prefix" "$err" || fail "a stale GAMEDIR: $(cat "$err")"
rm -rf "$HOME/.config/Oxley Games" "$HOME/Empty"
# A prefix of no manager: --prefix takes it. One that only $WINEPREFIX names, with the game on
# a second drive: the launcher keeps the prefix and the $WINE it was installed with, and finds
# its game started with no variable set; a $WINE set then wins. Uninstalling forgets them.
make_prefix "$HOME/pfx/own" "GT"
"$install" --prefix "$HOME/pfx/own" >/dev/null
"$install" --uninstall "$HOME/pfx/own" >/dev/null
[ ! -e "$HOME/pfx/own/drive_c/GT/gvtarsis-modmanager" ] || fail "own prefix: launcher left"
second="$HOME/Drive D/Games/GT"
mkdir -p "$second" "$HOME/Wine 9/bin"
printf 'MZ' >"$second/gvtarsis.exe"
printf '#!/bin/sh\n' >"$HOME/Wine 9/bin/wine"
chmod +x "$HOME/Wine 9/bin/wine"
ln -s "$HOME/Drive D" "$HOME/pfx/own/dosdevices/d:"
printf 'WINE REGISTRY Version 2\n\n[Software\\\\Oxley Games\\\\Grimvale Tarsis] 1\n"GAMEDIR"="D:\\\\Games\\\\GT"\n' \
  >"$HOME/pfx/own/system.reg"
WINEPREFIX="$HOME/pfx/own" WINE="$HOME/Wine 9/bin/wine" "$install" "$second" >/dev/null
where() { (cd "$second" && env -u WINEPREFIX "$@" ./gvtarsis-modmanager --where); }
for row in "kept|$HOME/Wine 9/bin/wine (\$WINE when it was installed)|-u WINE" \
  "set at the start|/bin/true (\$WINE)|WINE=/bin/true"; do
  IFS='|' read -r what wine variable <<<"$row"
  # shellcheck disable=SC2086 # the words for env
  head=$(where $variable) || fail "$what: --where found no game"
  grep -qxF "Prefix: $HOME/pfx/own (Wine)" <<<"$head" && grep -qxF "Wine: $wine" <<<"$head" ||
    fail "$what: $head"
done
settings="$HOME/.config/GVTarsis Mod Manager/gvtarsis-modmanager.conf"
grep -qF "Prefix=$HOME/pfx/own" "$settings" || fail "no kept prefix: $(cat "$settings")"
"$install" --uninstall "$HOME/pfx/own" >/dev/null
[ ! -e "$settings" ] || fail "the kept prefix stays: $(cat "$settings")"
rm -rf "$HOME/pfx" "$HOME/Drive D" "$HOME/Wine 9"

# A second game, in a bottle: a choice is asked for, then --prefix, --all, and uninstall one.
bottle="$HOME/.local/share/bottles/bottles/Grimvale"
make_prefix "$bottle" "GOG Games/Grimvale Tarsis"
printf 'Name: Grimvale\nRunner: sys-wine-8.0\n' >"$bottle/bottle.yml"
code=0
"$install" >/dev/null 2>"$err" || code=$?
[ $code = 2 ] && grep -q "Bottles" "$err" && grep -q "Lutris" "$err" ||
  fail "several games without a choice: $code $(cat "$err")"
"$install" --prefix "$bottle/" >/dev/null
[ "$(entries | wc -l)" = 2 ] || fail "--prefix: $(entries)"
"$install" --all >/dev/null
[ "$(entries | wc -l)" = 2 ] || fail "--all: $(entries)"
for entry in $(entries | tr '\n' ' '); do
  grep -q '^Name=GVTarsis Mod Manager (.* prefix ~/' "$entry" || fail "names: $(grep ^Name= "$entry")"
done
"$install" --uninstall "$bottle/drive_c/GOG Games/Grimvale Tarsis" >/dev/null
[ ! -e "$bottle/drive_c/GOG Games/Grimvale Tarsis/gvtarsis-modmanager" ] || fail "bottle launcher left"
[ "$(entries | wc -l)" = 1 ] || fail "uninstall one: $(entries)"
check_entry "$(entries)" "$game"
grep -qxF "Name=GVTarsis Mod Manager" "$(entries)" || fail "name after one is left"

# A read-only game folder and a full disk fail and leave everything as it was: with nothing
# installed, an install into both games makes folders for the first before the second fails.
"$install" --uninstall >/dev/null
snapshot() { find "$work" -printf '%p %s %m\n' | sort; }
# Root writes into a write-protected folder through its capability to override permissions: the
# install runs without it, as root still, so that it works wherever the checkout lies (another
# user could not enter a 0700 home to reach the script).
as_user=()
[ "$(id -u)" != 0 ] || as_user=(setpriv --inh-caps=-all --bounding-set=-dac_override,-dac_read_search)
chmod a-w "$bottle/drive_c/GOG Games/Grimvale Tarsis"
was=$(snapshot)
if "${as_user[@]}" env HOME="$HOME" "$install" --all 2>"$err"; then fail "read-only folder installed"; fi
grep -q "nothing was installed" "$err" || fail "read-only: $(cat "$err")"
[ "$(snapshot)" = "$was" ] || fail "a read-only folder changed things: $(diff <(echo "$was") <(snapshot))"
chmod u+w "$bottle/drive_c/GOG Games/Grimvale Tarsis"
was=$(snapshot)
if (ulimit -f 64 && "${as_user[@]}" env HOME="$HOME" "$install" --all 2>"$err"); then
  fail "installed on a full disk"
fi
[ "$(snapshot)" = "$was" ] || fail "a full disk changed things: $(diff <(echo "$was") <(snapshot))"

# A folder name with a line break cannot be carried by a menu entry: refused, nothing written.
odd="$HOME/odd"$'\n'"Name=Evil"
make_prefix "$odd" "Games/GT"
was=$(snapshot)
if WINEPREFIX=$odd "$install" --prefix "$odd" 2>"$err"; then fail "a line break installed"; fi
grep -q "cannot carry" "$err" || fail "line break: $(cat "$err")"
[ "$(snapshot)" = "$was" ] || fail "a refused folder changed things"
rm -rf "$odd" "$bottle" "$HOME/.local/share/bottles"
# Made by the first install, and left by the uninstall above while the bottle was in them.
rmdir "$HOME/.local/share" "$HOME/.local"
rmdir "$lutris/drive_c/Games/Other"

desktop-file-validate "$top/resources/desktop/org.gvtarsis.ModManager.desktop"
appstreamcli validate --no-net "$top/resources/desktop/org.gvtarsis.ModManager.metainfo.xml" >/dev/null

"$install" --uninstall >/dev/null
# A folder in no prefix, named with "." and ".." and doubled slashes: the settings file and the
# menu entry spell it as the launcher spells its own path.
mkdir -p "$HOME/Native/GT"
(cd "$HOME/Games" && "$install" ../Native/./GT//) >/dev/null
grep -qxF "GAMEDIR=$HOME/Native/GT" "$HOME/.config/Oxley Games/Grimvale Tarsis.conf" ||
  fail "settings file: $(cat "$HOME/.config/Oxley Games/Grimvale Tarsis.conf")"
check_entry "$(entries)" "$HOME/Native/GT"
grep -qxF "Exec=\"$HOME/Native/GT/gvtarsis-modmanager\"" "$(entries)" || fail "not plain: $(grep ^Exec "$(entries)")"
check_launch "$(entries)" "$HOME/Native/GT"
"$install" --uninstall >/dev/null
rm -rf "$HOME/Native"
after=$(find "$work" | sort)
[ "$before" = "$after" ] || fail "left behind: $(comm -13 <(echo "$before") <(echo "$after"))"
echo "install and uninstall: ok"
