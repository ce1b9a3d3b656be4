#!/usr/bin/env bash
# Times exec to first paint of the Mod Manager's main window beside a bare Qt dialog with one
# list, one picture and two buttons, started the same way, in turns; prints the median of many
# runs of each and their ratio. Then the resident memory of each, a few seconds after its first
# paint (the main window's tune playing by then). Uses a virtual display when there is none.
#   bench/start.sh [build folder] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
runs=${2:-101}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" "$0" "$build" "$runs"
fi
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/Oxley Games"
printf '[General]\nGAMEDIR=%s\n' "$(pwd)/demo/Grimvale Tarsis" >"$home/Oxley Games/Grimvale Tarsis.conf"
export XDG_CONFIG_HOME=$home

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
: >"$home/main" && : >"$home/bare"
"$build/bench/start_main_window" >/dev/null && "$build/bench/start_bare_dialog" >/dev/null # warm
for ((i = 0; i < runs; i++)); do
  for program in main bare; do
    [ $program = main ] && exe=start_main_window || exe=start_bare_dialog
    start=$(date +%s%N)
    painted=$("$build/bench/$exe")
    echo $(((painted - start) / 1000)) >>"$home/$program"
  done
done
main=$(median <"$home/main")
bare=$(median <"$home/bare")
echo "exec to first paint, median of $runs: main window $((main / 1000)) ms, bare dialog $((bare / 1000)) ms, ratio $(awk "BEGIN { printf \"%.2f\", $main / $bare }")"

mainKb=$(GVT_REPORT_RESIDENT=3000 "$build/bench/start_main_window")
bareKb=$(GVT_REPORT_RESIDENT=3000 "$build/bench/start_bare_dialog")
echo "resident memory 3 s after: main window with its tune $((mainKb / 1024)) MB, bare dialog $((bareKb / 1024)) MB, ratio $(awk "BEGIN { printf \"%.2f\", $mainKb / $bareKb }")"
