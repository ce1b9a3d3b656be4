#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and starts the launcher on a fresh copy of the bundled
# demo installation, with a private settings home pointing GAMEDIR at it.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$(pwd)
scripts/setup.sh

run="$top/demo-run"
game="$run/Grimvale Tarsis"
rm -rf "$run"
mkdir -p "$run/config/Oxley Games"
cp -a "$top/demo/Grimvale Tarsis" "$game"
cp "$top/build/src/app/gvtarsis-modmanager" "$game/"
cp "$top/build/tools/stub/gvtarsis-stub" "$game/gvtarsis.exe"
# The installer's record of the game folder, in the settings home the launcher will read.
printf '[General]\nGAMEDIR=%s\n' "$game" >"$run/config/Oxley Games/Grimvale Tarsis.conf"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: the Mod Manager is a desktop program and needs one." >&2
  echo "Run it on your desktop, or under a virtual display:  xvfb-run -a $0" >&2
  exit 1
fi
echo "Demo game folder: $game"
cd "$game"
XDG_CONFIG_HOME="$run/config" exec "$game/gvtarsis-modmanager"
