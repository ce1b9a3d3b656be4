#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and runs every test offscreen: the suite as built for use,
# the same suite built by clang under AddressSanitizer and UndefinedBehaviorSanitizer, and each
# fuzz target of that build for a short while.
set -euo pipefail
cd "$(dirname "$0")/.."
GVT_WERROR=ON scripts/setup.sh
scripts/need-packages.sh qt6-wayland patchelf # what the portable build ships and patches
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)")

scripts/need-packages.sh clang libclang-rt-14-dev
# Optimised a little and with line tables only: quick to build, stack traces still exact.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DGVT_SANITIZE=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DGVT_WERROR=ON \
  -DGVT_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan --parallel "$(nproc)"
(cd build-asan && GVT_WALK_STEP=${GVT_WALK_STEP:-4} QT_QPA_PLATFORM=offscreen \
  ctest --output-on-failure --parallel "$(nproc)")

GVT_FUZZ_BUILD=build-asan scripts/fuzz.sh "${GVT_FUZZ_SECONDS:-12}"
