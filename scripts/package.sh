#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package: scripts/package.sh [BUILD_DIR]
#
# Lets CPack make morvanta_VERSION_ARCH.deb in BUILD_DIR (default build-package at the top of the
# source tree) from a Release build with Debian's hardening flags (scripts/release-flags.sh). A new
# BUILD_DIR is configured without tests or benchmarks. An existing one, such as ./test.sh's build,
# keeps its tests and benchmarks and has only what is out of date built: after ./test.sh that is
# nothing, as test.sh configures the same release (CI packages ./test.sh's build so). The last
# line printed is the package's path. Missing build tools are installed first
# (scripts/ensure-deps.sh package).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$root/build-package}")

"$root/scripts/ensure-deps.sh" package
# shellcheck source=scripts/release-flags.sh
. "$root/scripts/release-flags.sh"

options=("${release_flags[@]}" -DMORVANTA_BUILD_UI=ON -DMORVANTA_BUILD_FUZZ=OFF -DMORVANTA_SANITIZE=OFF)
[[ -f $build/CMakeCache.txt ]] || options+=(-DMORVANTA_BUILD_TESTS=OFF -DMORVANTA_BUILD_BENCH=OFF)
cmake -S "$root" -B "$build" "${options[@]}"
cmake --build "$build" --parallel "$(nproc)"

rm -f "$build"/morvanta_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/morvanta_*.deb)
[[ -f ${debs[0]} ]] || {
    echo "package.sh: CPack made no package in $build" >&2
    exit 1
}
echo "${debs[0]}"
