#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the portable build, gvtarsis-modmanager-<version>-x86_64.tar.gz, in this folder (or the
# one named), for machines without apt: one folder, gvtarsis-modmanager/, that runs wherever it
# is unpacked on an x86-64 Linux with a C library as new as Debian 12's. It holds the program,
# Qt's plugins for X11 and Wayland, every library that these link beyond a base system (the
# names in packaging/portable/excluded-libraries stay the system's), a relative run path and a
# qt.conf, the icon, menu entry, metainfo, manual page, a README and the licences.
# Installs what the build needs and builds for release in build-portable/ (GVT_BUILD_DIR names
# a release build to take as it is, as the test command does while other tests use it).
#   scripts/portable.sh [output folder]
set -euo pipefail
out=$(realpath -m "${1:-$(dirname "$0")/..}")
mkdir -p -- "$out" || { echo "Cannot make the folder $out for the portable build." >&2; exit 1; }
cd "$(dirname "$0")/.."
scripts/need-packages.sh build-essential cmake ninja-build pkg-config qt6-base-dev \
  libgl-dev libxkbcommon-dev libmpg123-dev libpulse-dev qt6-wayland patchelf
build=${GVT_BUILD_DIR:-build-portable}
if [ -z "${GVT_BUILD_DIR:-}" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGVT_BUILD_TESTS=OFF \
    -DGVT_BUILD_BENCH=OFF >/dev/null
  cmake --build "$build" --parallel "$(nproc)" --target gvtarsis-modmanager gvt_documents >/dev/null
fi
program="$build/src/app/gvtarsis-modmanager"
version=$("$program" --version | cut -d' ' -f2)
qt_plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dir="$work/gvtarsis-modmanager"
mkdir -p "$dir/lib" "$dir/plugins"
install -m 0755 "$program" "$dir/"
strip "$dir/gvtarsis-modmanager"

# The plugins a Widgets program needs on X11 and on Wayland (there the window's shell, and its
# title bar where the desktop draws none: Qt draws one only with a buffer integration of the
# graphics driver), and the compose keys for typing names; the pictures are BMP and PNG, which
# Qt reads itself.
for plugin in platforms/libqxcb.so platforms/libqwayland-generic.so \
  wayland-shell-integration/libxdg-shell.so wayland-decoration-client/libbradient.so \
  wayland-graphics-integration-client/libqt-plugin-wayland-egl.so \
  platforminputcontexts/libcomposeplatforminputcontextplugin.so; do
  mkdir -p "$dir/plugins/${plugin%/*}"
  install -m 0644 "$qt_plugins/$plugin" "$dir/plugins/$plugin"
done

# Every library linked by what is shipped, library by library, except those a base system has:
# a library left to the system brings its own.
excluded=()
while read -r name; do excluded+=("$name"); done < <(grep -v -e '^#' -e '^$' packaging/portable/excluded-libraries)
is_excluded() {
  local pattern
  for pattern in "${excluded[@]}"; do
    # shellcheck disable=SC2053 # a shell pattern
    [[ $1 == $pattern ]] && return 0
  done
  return 1
}
declare -A shipped=() sources=()
queue=("$dir/gvtarsis-modmanager")
while IFS= read -r -d '' plugin; do queue+=("$plugin"); done < <(find "$dir/plugins" -name '*.so' -print0)
for ((i = 0; i < ${#queue[@]}; i++)); do
  object=${queue[i]}
  declare -A found=()
  while read -r name arrow path _; do
    [ "$arrow" = "=>" ] && found[$name]=$path
  done < <(ldd "$object")
  for name in $(objdump -p "$object" | awk '$1 == "NEEDED" { print $2 }'); do
    is_excluded "$name" || [ -n "${shipped[$name]:-}" ] && continue
    path=${found[$name]:-}
    if [ ! -f "$path" ]; then
      echo "$name, which ${object#"$work/"} links, is not found." >&2
      exit 1
    fi
    install -m 0644 "$path" "$dir/lib/$name"
    shipped[$name]=1
    sources[$(realpath "$path")]=1
    queue+=("$dir/lib/$name")
  done
  unset found
done

# Found from wherever the folder is unpacked, before any library path the program inherits
# (a game library's run-time on a handheld sets one): a run path of the older kind, which the
# loader searches first.
# shellcheck disable=SC2016 # the loader's own variable
origin='$ORIGIN'
patchelf --force-rpath --set-rpath "$origin/lib" "$dir/gvtarsis-modmanager"
for library in "$dir"/lib/*; do patchelf --force-rpath --set-rpath "$origin" "$library"; done
for plugin in "$dir"/plugins/*/*.so; do patchelf --force-rpath --set-rpath "$origin/../../lib" "$plugin"; done
printf '[Paths]\nPrefix = .\nPlugins = plugins\n' >"$dir/qt.conf"

share="$dir/share"
install -D -m 0644 resources/desktop/org.gvtarsis.ModManager.desktop -t "$share/applications"
install -D -m 0644 resources/desktop/org.gvtarsis.ModManager.metainfo.xml -t "$share/metainfo"
install -D -m 0644 resources/images/icon.png "$share/icons/hicolor/256x256/apps/org.gvtarsis.ModManager.png"
install -D -m 0644 resources/images/icon-48.png "$share/icons/hicolor/48x48/apps/org.gvtarsis.ModManager.png"
install -D -m 0644 "$build/src/app/gvtarsis-modmanager.6.gz" -t "$share/man/man6"
install -D -m 0644 packaging/copyright LICENSE -t "$share/doc/gvtarsis-modmanager"
install -m 0644 packaging/portable/README "$dir/README"
# The licence of each library shipped, from its package (which names the file below /usr or
# below /lib).
libraries=("${!sources[@]}")
owners=$(dpkg -S "${libraries[@]}" "${libraries[@]#/usr}" 2>/dev/null || true)
for source in "${libraries[@]}"; do
  cut -d' ' -f2 <<<"$owners" | grep -qxF -e "$source" -e "${source#/usr}" ||
    { echo "No package holds $source." >&2; exit 1; }
done
mapfile -t packages < <(cut -d: -f1 <<<"$owners" | sort -u)
for package in "${packages[@]}"; do
  install -D -m 0644 "/usr/share/doc/$package/copyright" "$share/doc/$package/copyright"
done

tarball="$out/gvtarsis-modmanager-$version-x86_64.tar.gz"
tar -C "$work" --sort=name --owner=0 --group=0 --numeric-owner -cf - gvtarsis-modmanager |
  gzip -n >"$tarball.part"
mv -f "$tarball.part" "$tarball"
echo "$tarball"
