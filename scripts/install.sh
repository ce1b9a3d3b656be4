#!/usr/bin/env bash
# Installs the Mod Manager for your game: builds what is missing, places the launcher in the game
# folder, and adds it with its icon to the desktop's application menu.
#
#   scripts/install.sh [GAME_FOLDER]   the game folder as the launcher finds it, or this one (a
#                                      path of this machine, or the game's own C:\... path)
#   scripts/install.sh --uninstall     removes exactly what the last install wrote
#
# WINEPREFIX (else ~/.wine) names the prefix the game was installed into, WINE (else wine on
# PATH) the Wine to start it with; the menu entry keeps both.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
id=org.gvtarsis.ModManager
data=${XDG_DATA_HOME:-$HOME/.local/share}
config=${XDG_CONFIG_HOME:-$HOME/.config}
manifest="$data/gvtarsis-modmanager/installed-files"

# The manifest lists every file the install wrote, then the folders it made, deepest first.
uninstall() {
  [ -f "$manifest" ] || return 0
  local entries entry
  mapfile -t entries <"$manifest"
  rm -f -- "$manifest"
  for entry in "${entries[@]}"; do
    case "$entry" in
      */) rmdir -- "$entry" 2>/dev/null || true ;;
      *) rm -f -- "$entry" && echo "Removed $entry" ;;
    esac
  done
}

if [ "${1:-}" = "--uninstall" ]; then
  [ -f "$manifest" ] || echo "The Mod Manager is not installed (no $manifest)."
  uninstall
  exit 0
fi
case "${1:-}" in -*) sed -n '2,11s/^# \{0,1\}//p' "$0"; exit 2 ;; esac

# A build of the program alone, unless a test hands us one.
build=${GVT_BUILD_DIR:-}
if [ -z "$build" ]; then
  scripts/need-packages.sh build-essential cmake ninja-build pkg-config qt6-base-dev \
    libgl-dev libxkbcommon-dev libmpg123-dev libpulse-dev
  build="$top/build-install"
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGVT_BUILD_TESTS=OFF \
    -DGVT_BUILD_BENCH=OFF >/dev/null
  cmake --build "$build" --parallel "$(nproc)" --target gvtarsis-modmanager gvtarsis-gamefolder
fi

export WINEPREFIX=${WINEPREFIX:-$HOME/.wine}
if ! found=$("$build/src/app/gvtarsis-gamefolder" "$@"); then
  echo "Install the game first, or name its folder: $0 \"/path/to/Grimvale Tarsis\"" >&2
  exit 1
fi
{ read -r game_text; read -r place; } <<<"$found"

# The launcher looks the game folder up itself; it has to find the same one.
settings_file=""
if [ $# -gt 0 ]; then
  if looked_up=$("$build/src/app/gvtarsis-gamefolder" 2>/dev/null); then
    { read -r _; read -r looked_up_place; } <<<"$looked_up"
    if [ "$looked_up_place" != "$place" ]; then
      echo "The game's installer recorded another folder: $looked_up_place" >&2
      echo "The launcher has to be placed there; run $0 without a folder." >&2
      exit 1
    fi
  else
    settings_file="$config/Oxley Games/Grimvale Tarsis.conf"
    if [ -e "$settings_file" ]; then
      echo "$settings_file exists but names no game folder; fix or remove it first." >&2
      exit 1
    fi
  fi
fi

uninstall >/dev/null # an earlier install, wherever it went
made=()
make_dir() {
  local dir=$1 missing=()
  while [ ! -d "$dir" ]; do missing=("$dir" ${missing[@]+"${missing[@]}"}); dir=$(dirname "$dir"); done
  for dir in ${missing[@]+"${missing[@]}"}; do mkdir -- "$dir" && made=("$dir/" ${made[@]+"${made[@]}"}); done
}
make_dir "$data/gvtarsis-modmanager"
: >"$manifest"
wrote() { printf '%s\n' "$1" >>"$manifest"; echo "Wrote $1"; }
trap 'printf "%s\n" ${made[@]+"${made[@]}"} >>"$manifest"' EXIT

launcher="$place/gvtarsis-modmanager"
install -m 0755 "$build/src/app/gvtarsis-modmanager" "$launcher"
wrote "$launcher"

if [ -n "$settings_file" ]; then
  make_dir "$(dirname "$settings_file")"
  printf '[General]\nGAMEDIR=%s\n' "$game_text" >"$settings_file"
  wrote "$settings_file"
fi

icon="$data/icons/hicolor/256x256/apps/$id.png"
make_dir "$(dirname "$icon")"
install -m 0644 resources/images/icon.png "$icon"
wrote "$icon"

# One argument of the Exec key: quoted, then escaped once more as every string value is.
exec_arg() {
  local s=$1
  s=${s//\\/\\\\} s=${s//\"/\\\"} s=${s//\`/\\\`} s=${s//\$/\\\$} s=${s//%/%%}
  s="\"$s\""
  printf '%s' "${s//\\/\\\\}"
}
string_value() { local s=$1; printf '%s' "${s//\\/\\\\}"; }

command="env $(exec_arg "WINEPREFIX=$WINEPREFIX")"
[ -n "${WINE:-}" ] && command+=" $(exec_arg "WINE=$WINE")"
command+=" $(exec_arg "$launcher")"
entry="$data/applications/$id.desktop"
make_dir "$(dirname "$entry")"
cat >"$entry" <<EOF
[Desktop Entry]
Type=Application
Version=1.4
Name=GVTarsis Mod Manager
GenericName=Game Launcher
Comment=Start Grimvale Tarsis with a mod, host or join games, edit profiles and music
Icon=$id
TryExec=$(string_value "$launcher")
Exec=$command
Path=$(string_value "$place")
Terminal=false
Categories=Game;
Keywords=Grimvale;Tarsis;mod;launcher;Wine;
EOF
wrote "$entry"

echo
echo "The Mod Manager is in your application menu (Games). It starts in $place"
echo "with WINEPREFIX=$WINEPREFIX. Undo it with: $0 --uninstall"
