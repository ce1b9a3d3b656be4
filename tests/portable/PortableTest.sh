#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The portable build as scripts/portable.sh makes it from this build: its name, size and files;
# every program and library in it finds each library it links in the folder, or on the system
# for what a base system has, whatever library path it inherits; and with the system's Qt
# hidden, the program answers --version, offers to place itself when started from the folder,
# and shows its window on the game when started from its link in the game folder.
set -euo pipefail
build=$1
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

tarball=$(GVT_BUILD_DIR="$build" "$top/scripts/portable.sh" "$work")
[ "${tarball##*/}" = gvtarsis-modmanager-1.2-x86_64.tar.gz ] || fail "named $tarball"
size=$(stat -c %s "$tarball")
[ "$size" -lt $((40 * 1024 * 1024)) ] || fail "$size bytes packed, over 40 MiB"
tar -C "$work" -xzf "$tarball"
dir="$work/gvtarsis-modmanager"
[ "$(LC_ALL=C ls "$dir" | tr '\n' ' ')" = "README gvtarsis-modmanager lib plugins qt.conf share " ] ||
  fail "the folder holds: $(ls "$dir")"
for file in applications/org.gvtarsis.ModManager.desktop metainfo/org.gvtarsis.ModManager.metainfo.xml \
  icons/hicolor/256x256/apps/org.gvtarsis.ModManager.png man/man6/gvtarsis-modmanager.6.gz \
  doc/gvtarsis-modmanager/copyright doc/libqt6core6/copyright; do
  [ -s "$dir/share/$file" ] || fail "no share/$file"
done

# What the loader finds for each program and library, plugins that no run here loads included,
# as it lists them: with the library path of the system's own Qt inherited, as a game library's
# run-time hands one on. Quick, and needs no root.
excluded=()
while read -r name; do excluded+=("$name"); done < <(grep -v -e '^#' -e '^$' "$top/packaging/portable/excluded-libraries")
is_excluded() {
  local pattern
  for pattern in "${excluded[@]}"; do
    # shellcheck disable=SC2053 # a shell pattern
    [[ $1 == $pattern ]] && return 0
  done
  return 1
}
declare -A linked=()
elves=0
while IFS= read -r -d '' elf; do
  elves=$((elves + 1))
  listing=$(LD_LIBRARY_PATH=/usr/lib/x86_64-linux-gnu /lib64/ld-linux-x86-64.so.2 --list "$elf") ||
    fail "${elf#"$dir/"}: $listing"
  for name in $(objdump -p "$elf" | awk '$1 == "NEEDED" { print $2 }'); do
    linked[$name]=1
    # "name => path", or the loader's own path alone
    path=$(awk -v name="$name" '$1 == name && $2 == "=>" { print $3 }
      substr($1, length($1) - length(name)) == "/" name { print $1 }' <<<"$listing")
    [[ $path != /* ]] || path=$(realpath -m "$path")
    if is_excluded "$name"; then
      [[ $path == /* && $path != "$dir"/* ]] || fail "${elf#"$dir/"} finds $name at ${path:-nowhere}, not on the system"
    else
      [ "$path" = "$dir/lib/$name" ] || fail "${elf#"$dir/"} finds $name at ${path:-nowhere}, not in the folder"
    fi
  done
done < <(find "$dir" -type f \( -name gvtarsis-modmanager -o -name '*.so*' \) -print0)
[ "$elves" -gt 20 ] || fail "only $elves programs and libraries"
for library in "$dir"/lib/*; do
  [ -n "${linked[${library##*/}]:-}" ] || fail "${library##*/} is shipped, and nothing links it"
done

# What no listing shows, the plugins found through qt.conf and loaded: a run with the system's Qt
# hidden, its libraries made empty files and its plugin folder an empty one, in a mount
# namespace of this test alone (cheaper than a system without Qt). That takes root, or a user
# namespace.
if [ "$(id -u)" -eq 0 ]; then
  hidden=(unshare --mount --propagation private)
elif unshare --user --map-root-user --mount true 2>/dev/null; then
  hidden=(unshare --user --map-root-user --mount --propagation private)
else
  echo "SKIPPED: the run with the system's Qt hidden needs root or user namespaces"
  echo "portable: ok, its libraries checked by the loader"
  exit 0
fi
home="$work/home" game="$work/Games/Grimvale Tarsis"
mkdir -p "$home/.config/Oxley Games" "$game"
cp -a "$top/demo/Grimvale Tarsis/." "$game/"
printf '[General]\nGAMEDIR=%s\n' "$game" >"$home/.config/Oxley Games/Grimvale Tarsis.conf"
cat >"$work/hidden.sh" <<'RUN'
set -euo pipefail
fail() { echo "FAILED: $*" >&2; exit 1; }
empty=$(mktemp -p "$WORK") plugins=$(mktemp -d -p "$WORK")
for library in "$QT_LIBS"/libQt6*.so.6; do mount --bind "$empty" "$(realpath "$library")"; done
mount --bind "$plugins" "$QT_PLUGINS"
! "$BUILD/src/app/gvtarsis-modmanager" --version >/dev/null 2>&1 || fail "the system's Qt is not hidden"
[ "$("$DIR/gvtarsis-modmanager" --version)" = "gvtarsis-modmanager 1.2" ] || fail "--version"

# Waits for a window of this title, and tells which plugins the program has loaded.
shown() {
  local pid=$1 title=$2
  for _ in $(seq 100); do
    xwininfo -root -tree | grep -qF "\"$title\": (" && break
    sleep 0.1
  done
  xwininfo -root -tree | grep -qF "\"$title\": (" || fail "no window \"$title\""
  awk '{ print $6 }' "/proc/$pid/maps" | grep -F "$DIR/plugins/" | sort -u
  kill "$pid"
}
# From the folder, outside the game folder: the placement question, on X11 after Wayland was
# tried (there is no Wayland server here).
cd "$WORK"
HOME=$HOME_DIR QT_QPA_PLATFORM='wayland;xcb' WAYLAND_DISPLAY=none XDG_RUNTIME_DIR=$WORK \
  "$DIR/gvtarsis-modmanager" 2>/dev/null &
loaded=$(shown $! "Place the Mod Manager")
for plugin in platforms/libqwayland-generic.so platforms/libqxcb.so; do
  grep -qxF "$DIR/plugins/$plugin" <<<"$loaded" || fail "$plugin was not loaded from the folder: $loaded"
done
# From its link in the game folder, as a game library starts it: the main window.
ln -s "$DIR/gvtarsis-modmanager" "$GAME/"
cd "$GAME"
HOME=$HOME_DIR QT_QPA_PLATFORM=xcb "$GAME/gvtarsis-modmanager" 2>/dev/null &
shown $! "GVTarsis Mod Manager 1.2" >/dev/null
RUN
WORK=$work DIR=$dir BUILD=$build HOME_DIR=$home GAME=$game QT_LIBS=$(qtpaths6 --query QT_INSTALL_LIBS) \
  QT_PLUGINS=$(qtpaths6 --query QT_INSTALL_PLUGINS) \
  "${hidden[@]}" xvfb-run -a -s "-screen 0 1280x800x24" bash "$work/hidden.sh" ||
  fail "the run with the system's Qt hidden"
echo "portable: ok"
