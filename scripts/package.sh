#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package: scripts/package.sh [BUILD_DIR]
#
# Configures a Release build without tests or benchmarks in BUILD_DIR (default build-package at the
# top of the source tree), builds it and lets CPack make morvanta_VERSION_ARCH.deb there. The last
# line printed is the package's path. Missing build tools are installed first
# (scripts/ensure-deps.sh package).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$root/build-package}")

"$root/scripts/ensure-deps.sh" package

# Debian's hardening flags: fortified library calls, stack protector, relocations read-only and
# bound at start.
cd "$root"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMORVANTA_BUILD_UI=ON \
    -DMORVANTA_BUILD_TESTS=OFF -DMORVANTA_BUILD_BENCH=OFF -DMORVANTA_BUILD_FUZZ=OFF \
    -DMORVANTA_SANITIZE=OFF -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags"
cmake --build "$build" --parallel "$(nproc)"

rm -f "$build"/morvanta_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/morvanta_*.deb)
[[ -f ${debs[0]} ]] || {
    echo "package.sh: CPack made no package in $build" >&2
    exit 1
}
echo "${debs[0]}"
