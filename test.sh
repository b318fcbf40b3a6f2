#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Morvanta with its tests and runs them all: ./test.sh
# The window tests start their own virtual display, so no desktop is needed. The build is the
# release the Debian package is made of (scripts/package.sh build packages it as it is).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build="$root/build"

"$root/scripts/ensure-deps.sh" test
# shellcheck source=scripts/release-flags.sh
. "$root/scripts/release-flags.sh"
cmake -S "$root" -B "$build" "${release_flags[@]}" -DMORVANTA_BUILD_UI=ON \
    -DMORVANTA_BUILD_TESTS=ON -DMORVANTA_BUILD_BENCH=ON -DMORVANTA_SANITIZE=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)"
# Each window test starts a virtual screen of its own (scripts/with-own-display.sh), so all the
# tests run two at a time.
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"
