#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang into ./build-fuzz (or takes them from the build that
# GVT_FUZZ_BUILD names, a clang sanitizer build) and runs each for a while (seconds, 300 unless
# given) from the seed corpus in fuzz/corpus. A crash or a broken property stops with the
# input that caused it, saved in the build's findings folder.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
targets=(lines registry paths yaml vdf json)
build=${GVT_FUZZ_BUILD:-build-fuzz}
if [ -z "${GVT_FUZZ_BUILD:-}" ]; then
  scripts/need-packages.sh clang libclang-rt-14-dev cmake ninja-build pkg-config qt6-base-dev \
    libmpg123-dev libpulse-dev
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DGVT_FUZZ=ON >/dev/null
  cmake --build build-fuzz --parallel "$(nproc)" --target "${targets[@]/#/fuzz_}" >build-fuzz/build.log ||
    { tail -n 40 build-fuzz/build.log >&2; exit 1; }
fi
mkdir -p "$build/findings"
fuzz() {
  # The seeds stay as they are; what the fuzzer finds on the way goes to a scratch corpus.
  local target=$1 corpus=$build/corpus/$1 log=$build/fuzz_$1.log
  mkdir -p "$corpus"
  "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=4096 \
    -artifact_prefix="$build/findings/$target-" "$corpus" fuzz/corpus/"$target" >"$log" 2>&1
}
# As many at once as there are cores.
failed=()
for ((i = 0; i < ${#targets[@]}; i += $(nproc))); do
  running=()
  for target in "${targets[@]:i:$(nproc)}"; do fuzz "$target" & running+=("$!:$target"); done
  for job in "${running[@]}"; do wait "${job%%:*}" || failed+=("${job#*:}"); done
done
for target in "${targets[@]}"; do
  if [[ " ${failed[*]-} " == *" $target "* ]]; then
    tail -n 40 "$build/fuzz_$target.log" >&2
    echo "fuzz_$target failed: the input is in $build/findings" >&2
  else
    echo "fuzz_$target: $(grep -E '^Done' "$build/fuzz_$target.log")"
  fi
done
[ ${#failed[@]} -eq 0 ]
