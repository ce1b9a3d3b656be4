#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package, gvtarsis-modmanager_<version>_<arch>.deb, in this folder (or the one
# named): installs what the build needs, builds the program for release in build-package/,
# hardened with the flags of dpkg-buildflags as every release build is (GVT_BUILD_DIR names a
# build to take instead), and packs what it installs with CPack, whose Debian generator
# computes the package's dependencies from the libraries the program links.
#   scripts/package.sh [output folder]
set -euo pipefail
out=$(realpath -m "${1:-$(dirname "$0")/..}")
mkdir -p -- "$out" || { echo "Cannot make the folder $out for the package." >&2; exit 1; }
cd "$(dirname "$0")/.."
scripts/need-packages.sh build-essential cmake ninja-build pkg-config qt6-base-dev \
  libgl-dev libxkbcommon-dev libmpg123-dev libpulse-dev dpkg-dev
build=${GVT_BUILD_DIR:-build-package}
if [ -z "${GVT_BUILD_DIR:-}" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DGVT_BUILD_TESTS=OFF \
    -DGVT_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" --parallel "$(nproc)" >/dev/null
packed=$(mktemp -d)
trap 'rm -rf "$packed"' EXIT
(cd "$build" && cpack -G DEB -B "$packed" >/dev/null)
for deb in "$packed"/*.deb; do
  mv -f "$deb" "$out/"
  echo "$out/${deb##*/}"
done
