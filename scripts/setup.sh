#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what the build and the tests need (Debian 12 packages) and builds into ./build, the
# program hardened with the flags of dpkg-buildflags as its package is (the package test packs
# this build).
# GVT_WERROR=ON (as the test command sets it) makes compiler warnings errors; GVT_BENCH=ON also
# builds the benchmark programs.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/need-packages.sh \
  build-essential cmake ninja-build pkg-config \
  qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev libmpg123-dev libpulse-dev \
  fonts-dejavu-core \
  libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth x11-utils \
  wine wine64 gcc-mingw-w64-x86-64-win32 desktop-file-utils appstream libglib2.0-bin dpkg-dev \
  lintian

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DGVT_HARDEN=ON \
  -DGVT_BUILD_BENCH=${GVT_BENCH:-OFF} ${GVT_WERROR:+-DGVT_WERROR=$GVT_WERROR} >/dev/null
cmake --build build --parallel "$(nproc)"
