#!/usr/bin/env bash
# The install script on a prefix the test writes itself: the launcher lands in the game folder,
# the menu entry and metainfo validate, and --uninstall leaves nothing of what it wrote.
set -euo pipefail
build=$1
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

export HOME="$work/home" XDG_DATA_HOME="" XDG_CONFIG_HOME="" GVT_BUILD_DIR="$build"
export WINEPREFIX="$work/prefix with blanks"
game="$WINEPREFIX/drive_c/Games/Grimvale Tarsis \$1 50%"
mkdir -p "$HOME" "$game/Mods/GvTarsis" "$WINEPREFIX/dosdevices"
ln -s ../drive_c "$WINEPREFIX/dosdevices/c:"
printf 'WINE REGISTRY Version 2\n\n[Software\\\\Wow6432Node\\\\Oxley Games\\\\Grimvale Tarsis] 1\n"GAMEDIR"="C:\\\\Games\\\\Grimvale Tarsis $1 50%%"\n' \
  >"$WINEPREFIX/system.reg"
before=$(find "$work" | sort)

"$top/scripts/install.sh" >/dev/null
entry="$HOME/.local/share/applications/org.gvtarsis.ModManager.desktop"
[ -x "$game/gvtarsis-modmanager" ] || fail "no launcher in the game folder"
desktop-file-validate "$entry" || fail "the menu entry does not validate"
grep -qxF "Exec=env \"WINEPREFIX=$WINEPREFIX\" \"$game/gvtarsis-modmanager\"" \
  <(sed 's/\\\\\$/$/g; s/%%/%/g' "$entry") || fail "Exec: $(grep ^Exec "$entry")"
grep -qxF "Path=$game" "$entry" || fail "Path: $(grep ^Path "$entry")"
desktop-file-validate "$top/resources/desktop/org.gvtarsis.ModManager.desktop"
appstreamcli validate --no-net "$top/resources/desktop/org.gvtarsis.ModManager.metainfo.xml" >/dev/null

"$top/scripts/install.sh" --uninstall >/dev/null
after=$(find "$work" | sort)
[ "$before" = "$after" ] || fail "left behind: $(comm -13 <(echo "$before") <(echo "$after"))"
echo "install and uninstall: ok"
