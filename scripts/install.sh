#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Mod Manager for your game: builds what is missing, places the launcher in the game
# folder, and adds it with its icon to the desktop's application menu.
#
#   scripts/install.sh                  the game of every known Wine prefix (plain Wine, Lutris,
#                                       Bottles, Steam's Proton, Heroic); when there are several,
#                                       name one with --prefix or take them all with --all
#   scripts/install.sh --prefix PATH    the game of the prefix PATH
#   scripts/install.sh --all            the games of every prefix
#   scripts/install.sh GAME_FOLDER      the game in this folder (what its prefix records)
#   scripts/install.sh --uninstall [PATH]   removes every install, or the one whose game folder
#                                       or prefix PATH is
#
# The launcher finds its prefix and its Wine by itself, from the folder it sits in: the menu
# entry starts it alone, with no variables. For a prefix of no game manager, the prefix and
# $WINE (when set) it is installed with are kept in its own settings.
set -euo pipefail
usage() { sed -n '2,16s/^# \{0,1\}//p' "$0"; }

# Paths the caller gives are the caller's: made absolute here, before anything moves, and
# spelled as the launcher spells the path it was started by ("." and ".." taken out in the text,
# doubled and trailing slashes dropped, links kept).
absolute() {
  local path=$1
  [[ $path == /* ]] || path="$PWD/$path"
  realpath -m -s -- "$path"
}

parse_arguments() {
  mode=install prefix_arg="" all=no folder="" target=""
  while [ $# -gt 0 ]; do
    case "$1" in
      --uninstall) mode=uninstall; [ $# -lt 2 ] || { target=$(absolute "$2"); shift; } ;;
      --prefix) [ $# -ge 2 ] || { usage >&2; exit 2; }; prefix_arg=$(absolute "$2"); shift ;;
      --all) all=yes ;;
      -h | --help) usage; exit 0 ;;
      -*) usage >&2; exit 2 ;;
      *) [ -z "$folder" ] || { usage >&2; exit 2; }; folder=$(absolute "$1") ;;
    esac
    shift
  done
}
parse_arguments "$@"

cd "$(dirname "$0")/.."
top=$(pwd)
id=org.gvtarsis.ModManager
data=${XDG_DATA_HOME:-$HOME/.local/share}
config=${XDG_CONFIG_HOME:-$HOME/.config}
state="$data/gvtarsis-modmanager"
installs="$state/installs"
legacy="$state/installed-files"
icon="$data/icons/hicolor/256x256/apps/$id.png"
apps="$data/applications"
settings_file="$config/Oxley Games/Grimvale Tarsis.conf"

# Files made but not yet in place, removed whatever happens; folders made, removed too until the
# install's records hold them (the last uninstall takes them away).
staged=()
made=()
cleanup() {
  local f n
  for f in ${staged[@]+"${staged[@]}"}; do rm -f -- "$f"; done
  for ((n = ${#made[@]} - 1; n >= 0; n--)); do rmdir -- "${made[n]}" 2>/dev/null || true; done
}
trap cleanup EXIT
fail() { echo "$*" >&2; exit 1; }
make_dir() {
  local dir=$1 missing=()
  while [ ! -d "$dir" ]; do missing=("$dir" ${missing[@]+"${missing[@]}"}); dir=$(dirname "$dir"); done
  for dir in ${missing[@]+"${missing[@]}"}; do
    mkdir -- "$dir" 2>/dev/null ||
      fail "Cannot make the folder $dir: make $(dirname "$dir") writable, and install again."
    made+=("$dir")
  done
}
# A new file beside its final place, in $REPLY; moved there only once every file of the install
# is made.
stage() {
  local final=$1
  make_dir "$(dirname "$final")"
  REPLY=$(mktemp "$(dirname "$final")/.${final##*/}.XXXXXX" 2>/dev/null) ||
    fail "Cannot write into $(dirname "$final"): nothing was installed. Make it writable, and install again."
  staged+=("$REPLY")
}
same_folder() { [ -e "$1" ] && [ -e "$2" ] && [ "$1" -ef "$2" ]; }
home_short() { local p=$1; [[ $p == "$HOME"/* ]] && p="~${p#"$HOME"}"; printf '%s' "$p"; }

# What a desktop entry file cannot carry: control characters, and bytes that are not
# UTF-8.
check_carried() {
  if LC_ALL=C grep -q '[[:cntrl:]]' <<<"${1//$'\n'/$'\x01'}" ||
    ! iconv -f UTF-8 -t UTF-8 <<<"$1" >/dev/null 2>&1; then
    fail "The folder $(printf '%q' "$1") holds a character that a menu entry cannot carry (a line break, a control character, or a byte that is not UTF-8); rename it and install again."
  fi
}

# One argument of the Exec key: quoted, then escaped once more as every string value is.
exec_arg() {
  local s=$1
  s=${s//\\/\\\\} s=${s//\"/\\\"} s=${s//\`/\\\`} s=${s//\$/\\\$} s=${s//%/%%}
  s="\"$s\""
  printf '%s' "${s//\\/\\\\}"
}
string_value() { local s=$1; printf '%s' "${s//\\/\\\\}"; }
# The Exec key starts the launcher by its path in the game folder, which it compares with the
# game folder. GLib looks the Exec's first word up as a program before it turns "%%" into "%",
# and refuses the entry when there is no such file: a path that holds "%" goes to sh instead,
# which starts it by that same path.
exec_line() {
  local launcher=$1
  # shellcheck disable=SC2016 # for sh to expand
  [[ $launcher != *%* ]] || printf '/bin/sh -c %s ' "$(exec_arg 'exec "$0"')"
  exec_arg "$launcher"
}

# An install's record: its game folder, prefix, manager, menu entry, launcher, settings file
# (when it wrote one) and "kept" when the launcher's settings keep its prefix, each ended by a
# NUL.
record_of() { printf '%s/%s' "$installs" "$(printf '%s' "$1" | sha256sum | cut -c1-16)"; }
read_record() { mapfile -d '' rec <"$1"; }

# The menu entries name their prefix when there are several; an entry whose name could not be
# changed (a full disk) still starts its game.
rename_entries() {
  local records=() r entry temp name
  [ -d "$installs" ] && mapfile -t records < <(find "$installs" -type f | sort)
  for r in ${records[@]+"${records[@]}"}; do
    read_record "$r"
    entry=${rec[3]}
    [ -f "$entry" ] || continue
    name="GVTarsis Mod Manager"
    [ ${#records[@]} -gt 1 ] && name+=" ($([ -n "${rec[1]}" ] && printf '%s prefix %s' "${rec[2]}" "$(home_short "${rec[1]}")" || printf 'in %s' "$(home_short "${rec[0]}")"))"
    temp=$(mktemp "$(dirname "$entry")/.${entry##*/}.XXXXXX" 2>/dev/null) || continue
    if sed "s|^Name=.*|Name=$(string_value "$name" | sed 's/[|&\\]/\\&/g')|" "$entry" >"$temp"; then
      mv -f -- "$temp" "$entry" || rm -f -- "$temp"
    else
      rm -f -- "$temp"
    fi
  done
}

uninstall_legacy() {
  # What an earlier version of this script wrote: one list of files, then the folders it made.
  [ -f "$legacy" ] || return 0
  local entries entry
  mapfile -t entries <"$legacy"
  rm -f -- "$legacy"
  for entry in "${entries[@]}"; do
    case "$entry" in
      */) rmdir -- "$entry" 2>/dev/null || true ;;
      *) rm -f -- "$entry" && echo "Removed $entry" ;;
    esac
  done
}

uninstall_one() {
  read_record "$1"
  local file
  if [ -n "${rec[6]:-}" ]; then
    [ -n "${build:-}" ] || build_program >&2
    forget_prefix "${rec[0]}" "Then uninstall again."
  fi
  for file in "${rec[4]}" "${rec[3]}" "${rec[5]}"; do
    [ -n "$file" ] && [ -e "$file" ] && rm -f -- "$file" && echo "Removed $file"
  done
  rm -f -- "$1"
}

remove_leftovers() {
  # The icon and the folders made go with the last install.
  if [ -z "$(ls -A "$installs" 2>/dev/null)" ]; then
    [ -e "$icon" ] && rm -f -- "$icon" && echo "Removed $icon"
    local folders=() dir
    [ -f "$state/made-folders" ] && mapfile -d '' folders <"$state/made-folders"
    rm -f -- "$state/made-folders"
    rmdir -- "$installs" 2>/dev/null || true
    for ((n = ${#folders[@]} - 1; n >= 0; n--)); do rmdir -- "${folders[n]}" 2>/dev/null || true; done
    rmdir -- "$state" 2>/dev/null || true
  fi
}

# Every install, or those whose game folder or prefix is $target.
uninstall_games() {
  uninstall_legacy
  local records=() r removed=0
  [ -d "$installs" ] && mapfile -t records < <(find "$installs" -type f | sort)
  for r in ${records[@]+"${records[@]}"}; do
    read_record "$r"
    if [ -z "$target" ] || [ "$target" = "${rec[0]}" ] || [ "$target" = "${rec[1]}" ] ||
      same_folder "$target" "${rec[0]}" || { [ -n "${rec[1]}" ] && same_folder "$target" "${rec[1]}"; }; then
      uninstall_one "$r"
      removed=$((removed + 1))
    fi
  done
  [ $removed -gt 0 ] || [ -z "$target" ] ||
    fail "No install of the Mod Manager in $target: name a game folder or prefix it was installed into, or uninstall them all with $0 --uninstall."
  [ $removed -gt 0 ] || echo "The Mod Manager is not installed."
  rename_entries
  remove_leftovers
}

# A build of the program alone, unless a test hands us one: its folder in $build.
build_program() {
  build=${GVT_BUILD_DIR:-}
  [ -z "$build" ] || return 0
  scripts/need-packages.sh build-essential cmake ninja-build pkg-config qt6-base-dev \
    libgl-dev libxkbcommon-dev libmpg123-dev libpulse-dev
  build="$top/build-install"
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGVT_BUILD_TESTS=OFF \
    -DGVT_BUILD_BENCH=OFF >/dev/null
  cmake --build "$build" --parallel "$(nproc)" --target gvtarsis-modmanager gvtarsis-gamefolder
}

# The games the launcher would find ($found holds what the helper said), four fields each in
# $fields: manager, prefix, game folder text, folder on disk. And the settings file's game, which the launcher reads before any prefix
# ($current_settings, $settings_place), named even when its folder is gone.
find_games() {
  found=$(mktemp)
  staged+=("$found")
  if [ -n "$prefix_arg" ]; then
    "$build/src/app/gvtarsis-gamefolder" --prefix "$prefix_arg" >"$found" || exit 1
  elif ! "$build/src/app/gvtarsis-gamefolder" ${folder:+"$folder"} >"$found"; then
    [ -n "$folder" ] && exit 1
    cat >&2 <<EOF
No game was found: no Wine prefix records the folder of Grimvale Tarsis (the GAMEDIR value its
installer writes), in ~/.wine, \$WINEPREFIX, or the prefixes of Lutris, Bottles, Steam and Heroic.
Install the game with its own installer first, or name its folder:
  $0 "/path/to/Grimvale Tarsis"
EOF
    exit 1
  fi
  mapfile -d '' fields <"$found"
  current_settings="" settings_place=""
  local listed=("${fields[@]}") i
  if [ -n "$folder$prefix_arg" ]; then
    "$build/src/app/gvtarsis-gamefolder" >"$found" 2>/dev/null || true
    mapfile -d '' listed <"$found"
  fi
  for ((i = 0; i + 3 < ${#listed[@]}; i += 4)); do
    if [ "${listed[i]}" = "settings file" ]; then
      current_settings=${listed[i + 2]} settings_place=${listed[i + 3]}
    fi
  done
}

# The games to install into, as indexes into $fields in $games: the one found, or all of them
# with --all; several without --all are listed and refused.
choose_games() {
  local i
  games=()
  for ((i = 0; i + 3 < ${#fields[@]}; i += 4)); do
    [ -n "${fields[i + 3]}" ] || continue
    games+=("$i")
  done
  [ ${#games[@]} -gt 0 ] ||
    fail "$settings_file names the game folder $current_settings, which is missing: correct or remove that line, and install again."
  if [ ${#games[@]} -gt 1 ] && [ $all = no ]; then
    echo "The game was found in several places:" >&2
    for i in "${games[@]}"; do
      printf '  %-14s %s\n  %-14s game folder %s\n' "${fields[i]}" "${fields[i + 1]:-(no prefix)}" "" "${fields[i + 3]}" >&2
    done
    echo "Name one with --prefix PATH, or install into all of them with --all." >&2
    exit 2
  fi
}

# Refuses a game the launcher could not start from its folder, or whose files are in the way.
check_game() {
  local manager=$1 prefix=$2 game_text=$3 place=$4 record=$5 r
  check_carried "$place"
  [ -z "$prefix" ] || check_carried "$prefix"
  if [ -n "$current_settings" ] && [ "$settings_place" != "$place" ]; then
    fail "$settings_file names the game folder $current_settings, which the launcher reads before any prefix: it would never start from $place. Remove that line, or install for that folder."
  fi
  if [ "$manager" = "settings file" ] && [ -z "$current_settings" ]; then
    [ ! -e "$settings_file" ] ||
      fail "$settings_file is there already: add the line GAMEDIR=$game_text to its [General] section, and install again."
    for r in "$installs"/*; do
      [ -f "$r" ] || continue
      read_record "$r"
      [ -z "${rec[1]}" ] ||
        fail "The settings file is read before any prefix: your install in ${rec[0]} would no longer start. Install this game into its prefix instead."
    done
  fi
  local launcher="$place/gvtarsis-modmanager"
  if [ -e "$launcher" ] && [ ! -f "$record" ] &&
    ! { [ -f "$legacy" ] && grep -qxF -- "$launcher" "$legacy"; }; then
    fail "$launcher is there already, and not of an install of this script: move it away, and install again."
  fi
}

# What the launcher in a game folder keeps of its install, in its own settings: the helper's
# reason, and what to do then.
keep_prefix() {
  local said
  said=$("$build/src/app/gvtarsis-gamefolder" --keep "$1" "$2" ${wine:+"$wine"} 2>&1) ||
    fail "$said Then install again to finish, or undo it with $0 --uninstall."
}
forget_prefix() {
  local said
  said=$("$build/src/app/gvtarsis-gamefolder" --forget "$1" 2>&1) || fail "$said $2"
}

# The Wine that $WINE names, as the launcher is to find it from the menu, whatever PATH it has
# there: in $wine.
resolve_wine() {
  wine=""
  [ -n "${WINE:-}" ] || return 0
  wine=$(command -v -- "$WINE" 2>/dev/null) && [[ $wine == /* ]] && [ -x "$wine" ] ||
    fail "\$WINE names $WINE, which is no program here: set it to the Wine that is to start the game, or unset it, and install again."
  wine=$(absolute "$wine")
}

# The menu entry of one install, into the file $1: it starts the launcher alone, in its game
# folder.
write_entry() {
  local file=$1 launcher=$2 place=$3
  cat >"$file" <<ENTRY || fail "Cannot write the menu entry into $(dirname "$file"): nothing was installed. Free some space on its disk, and install again."
[Desktop Entry]
Type=Application
Version=1.4
Name=GVTarsis Mod Manager
GenericName=Game Launcher
Comment=Start Grimvale Tarsis with a mod, host or join games, edit profiles and music
Icon=$id
TryExec=$(string_value "$launcher")
Exec=$(exec_line "$launcher")
Path=$(string_value "$place")
Terminal=false
Categories=Game;
Keywords=Grimvale;Tarsis;mod;launcher;Wine;
ENTRY
}

# Makes every file of one game's install beside its place: the launcher, the icon, the settings
# file where the game needs one, the menu entry and the record. Nothing takes its place yet.
stage_game() {
  local manager=$1 prefix=$2 game_text=$3 place=$4
  local record entry launcher replaced=no wrote_settings="" kept="" was_kept=""
  record=$(record_of "$place")
  entry="$apps/$id.g${record##*/}.desktop"
  launcher="$place/gvtarsis-modmanager"
  check_game "$manager" "$prefix" "$game_text" "$place" "$record"
  if [ -f "$record" ]; then
    replaced=yes
    read_record "$record"
    was_kept=${rec[6]:-}
  fi

  stage "$launcher"
  cp -- "$build/src/app/gvtarsis-modmanager" "$REPLY" 2>/dev/null ||
    fail "Cannot write the launcher into $place: nothing was installed. Free some space on its disk, and install again."
  chmod 0755 "$REPLY"
  commits+=("$REPLY" "$launcher")
  stage "$icon"
  cp -- resources/images/icon.png "$REPLY" 2>/dev/null || fail "Cannot write $icon: nothing was installed. Free some space on its disk, and install again."
  chmod 0644 "$REPLY"
  commits+=("$REPLY" "$icon")
  if [ "$manager" = "settings file" ] && [ -z "$current_settings" ]; then
    stage "$settings_file"
    printf '[General]\nGAMEDIR=%s\n' "$game_text" >"$REPLY" || fail "Cannot write $settings_file: nothing was installed. Free some space on its disk, and install again."
    commits+=("$REPLY" "$settings_file")
    wrote_settings=$settings_file
  elif [ -f "$record" ]; then
    read_record "$record"
    wrote_settings=${rec[5]}
  fi
  stage "$entry"
  write_entry "$REPLY" "$launcher" "$place"
  commits+=("$REPLY" "$entry")
  # The menu sets no variable: a prefix no game manager keeps, and $WINE, are kept for the
  # launcher, in its own settings.
  if [ "$manager" = Wine ] && [ -n "$prefix" ]; then
    resolve_wine
    make_dir "$config/GVTarsis Mod Manager"
    keeps+=("$place" "$prefix")
    kept=kept
  elif [ -n "$was_kept" ]; then
    forgets+=("$place")
  fi
  stage "$record"
  printf '%s\0' "$place" "$prefix" "$manager" "$entry" "$launcher" "$wrote_settings" "$kept" >"$REPLY" ||
    fail "Cannot write $record: nothing was installed. Free some space on its disk, and install again."
  records+=("$REPLY" "$record")
  reports+=("$([ $replaced = yes ] && echo "Replaced the install in" || echo "Installed into") $place")
}

# Everything is made: now each file takes its place by one rename, the records first (with the
# folders made, for the last uninstall to take away), so that an install cut short is one that
# --uninstall takes away and a new install finishes.
place_all() {
  stage "$state/made-folders"
  { [ ! -f "$state/made-folders" ] || cat -- "$state/made-folders"
    [ ${#made[@]} -eq 0 ] || printf '%s\0' "${made[@]}"; } >"$REPLY" ||
    fail "Cannot write $state/made-folders: nothing was installed. Free some space on its disk, and install again."
  records+=("$REPLY" "$state/made-folders")
  local n place
  for ((n = 0; n < ${#records[@]}; n += 2)); do
    mv -f -- "${records[n]}" "${records[n + 1]}" ||
      fail "Cannot put ${records[n + 1]} in its place: install again to finish, or undo it with $0 --uninstall."
  done
  made=()
  for ((n = 0; n < ${#keeps[@]}; n += 2)); do keep_prefix "${keeps[n]}" "${keeps[n + 1]}"; done
  for place in ${forgets[@]+"${forgets[@]}"}; do
    forget_prefix "$place" "Then install again to finish, or undo it with $0 --uninstall."
  done
  for ((n = 0; n < ${#commits[@]}; n += 2)); do
    mv -f -- "${commits[n]}" "${commits[n + 1]}" ||
      fail "Cannot put ${commits[n + 1]} in its place: install again to finish, or undo it with $0 --uninstall."
  done
  staged=("$found")
}

# An earlier version's install goes once this one stands; what this one uses of it stays.
retire_legacy() {
  [ -f "$legacy" ] || return 0
  local i
  grep -vxF -f <(printf '%s\n' "$icon" "$settings_file"
    for i in "${games[@]}"; do printf '%s/gvtarsis-modmanager\n' "${fields[i + 3]}"; done) \
    "$legacy" >"$legacy.keep" || true
  mv -f -- "$legacy.keep" "$legacy"
  uninstall_legacy >/dev/null
}

install_games() {
  build_program
  find_games
  choose_games
  # Every game is made ready first; only when all are, they take their places.
  commits=() records=() reports=() keeps=() forgets=()
  local i
  for i in "${games[@]}"; do
    stage_game "${fields[i]}" "${fields[i + 1]}" "${fields[i + 2]}" "${fields[i + 3]}"
  done
  place_all
  printf '%s\n' "${reports[@]}"
  retire_legacy
  rename_entries
  echo
  echo "The Mod Manager is in your application menu (Games). Undo it with: $0 --uninstall"
}

if [ $mode = uninstall ]; then uninstall_games; else install_games; fi
