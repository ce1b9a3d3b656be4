#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Times exec to first paint of the Mod Manager's main window beside a bare Qt dialog with one
# list, one picture and two buttons, started the same way, in turns; prints the median of many
# runs of each and their ratio. First with the game named by the settings file (the demo), then
# with the launcher placed in the game of one of 50 Wine prefixes of a home, each with a 5 MB
# system.reg, kept by the game managers. Then the resident memory of each, a few seconds after
# its first paint (the main window's tune playing by then). Uses a virtual display when there is
# none.
#   bench/start.sh [build folder] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
runs=${2:-101}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$build" "$runs"
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Runs `main` and `bare` (program paths) in turns and prints their medians and ratio.
compare() {
  local what=$1 main=$2 bare=$3 program start painted
  : >"$work/main" && : >"$work/bare"
  "$main" >/dev/null && "$bare" >/dev/null # warm
  for ((i = 0; i < runs; i++)); do
    for program in main bare; do
      start=$(date +%s%N)
      if [ $program = main ]; then painted=$("$main"); else painted=$("$bare"); fi
      echo $(((painted - start) / 1000)) >>"$work/$program"
    done
  done
  local m b
  m=$(median <"$work/main")
  b=$(median <"$work/bare")
  echo "exec to first paint, $what, median of $runs: main window $((m / 1000)) ms, bare dialog $((b / 1000)) ms, ratio $(awk "BEGIN { printf \"%.2f\", $m / $b }")"
}

# The demo, named by the settings file, with the launcher placed in it.
home="$work/demo-home"
game="$work/demo/Grimvale Tarsis"
mkdir -p "$home/Oxley Games" "$work/demo"
cp -a "demo/Grimvale Tarsis" "$game"
ln -s "$build/bench/start_main_window" "$game/gvtarsis-modmanager"
ln -s "$build/bench/start_bare_dialog" "$game/bare-dialog"
printf '[General]\nGAMEDIR=%s\n' "$game" >"$home/Oxley Games/Grimvale Tarsis.conf"
XDG_CONFIG_HOME=$home compare "game named by the settings file" \
  "$game/gvtarsis-modmanager" "$game/bare-dialog"

# A home of 50 prefixes: Lutris games, bottles, Steam compatdata and Heroic games, 5 MB each.
home="$work/home"
registry="$work/system.reg"
{
  printf 'WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n'
  yes '[Software\\Classes\\CLSID\\{00000000-0000-0000-C000-000000000046}\\InprocServer32] 1796494867
#time=1dd84e569147f28
@="C:\\windows\\system32\\ole32.dll"
"ThreadingModel"="Both"
' | head -c $((5 << 20)) || true
  printf '\n[Software\\\\Wow6432Node\\\\Oxley Games\\\\Grimvale Tarsis] 1796494882\n"GAMEDIR"="C:\\\\Games\\\\Grimvale Tarsis"\n'
} >"$registry"
prefix() {
  mkdir -p "$1/dosdevices" "$1/drive_c/Games"
  ln -s ../drive_c "$1/dosdevices/c:"
  cp "$registry" "$1/system.reg"
  cp -a "demo/Grimvale Tarsis" "$1/drive_c/Games/"
}
mkdir -p "$home/.config/lutris/games" "$home/.config/heroic/GamesConfig" \
  "$home/.local/share/Steam/steamapps/compatdata"
for ((n = 0; n < 50; n++)); do
  case $((n % 4)) in
    0) prefix "$home/Games/lutris-$n"
       printf 'game:\n  prefix: %s\nwine:\n  version: lutris-7.2\n' "$home/Games/lutris-$n" \
         >"$home/.config/lutris/games/game-$n.yml" ;;
    1) prefix "$home/.local/share/bottles/bottles/bottle-$n"
       printf 'Name: bottle-%s\nRunner: sys-wine-8.0\n' $n \
         >"$home/.local/share/bottles/bottles/bottle-$n/bottle.yml" ;;
    2) prefix "$home/.local/share/Steam/steamapps/compatdata/$n/pfx" ;;
    3) prefix "$home/Games/Heroic/$n"
       printf '{"game-%s": {"winePrefix": "%s", "wineVersion": {"bin": "/usr/bin/wine"}}}' $n \
         "$home/Games/Heroic/$n" >"$home/.config/heroic/GamesConfig/game-$n.json" ;;
  esac
done
game="$home/.local/share/Steam/steamapps/compatdata/26/pfx/drive_c/Games/Grimvale Tarsis"
ln -s "$build/bench/start_main_window" "$game/gvtarsis-modmanager"
ln -s "$build/bench/start_bare_dialog" "$game/bare-dialog"
HOME=$home XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="" WINEPREFIX="" \
  compare "launcher in one of 50 prefixes" "$game/gvtarsis-modmanager" "$game/bare-dialog"

mainKb=$(GVT_REPORT_RESIDENT=3000 "$game/gvtarsis-modmanager")
bareKb=$(GVT_REPORT_RESIDENT=3000 "$build/bench/start_bare_dialog")
echo "resident memory 3 s after: main window with its tune $((mainKb / 1024)) MB, bare dialog $((bareKb / 1024)) MB, ratio $(awk "BEGIN { printf \"%.2f\", $mainKb / $bareKb }")"
