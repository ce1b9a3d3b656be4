#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test offscreen: the suite as built for use,
# the same suite under AddressSanitizer and UndefinedBehaviorSanitizer, and each fuzz target
# for a short while.
set -euo pipefail
cd "$(dirname "$0")/.."
GVT_WERROR=ON scripts/setup.sh
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)")

scripts/need-packages.sh clang libclang-rt-14-dev
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGVT_SANITIZE=ON \
  -DGVT_WERROR=ON -DGVT_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan --parallel "$(nproc)"
(cd build-asan && GVT_WALK_STEP=${GVT_WALK_STEP:-4} QT_QPA_PLATFORM=offscreen \
  ctest --output-on-failure --parallel "$(nproc)")

scripts/fuzz.sh "${GVT_FUZZ_SECONDS:-20}"
