#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Morvanta with its tests and runs them all: ./test.sh
# The window tests start their own virtual display, so no desktop is needed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build="$root/build"

"$root/scripts/ensure-deps.sh" test
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMORVANTA_BUILD_UI=ON \
    -DMORVANTA_BUILD_TESTS=ON -DMORVANTA_BUILD_BENCH=ON -DMORVANTA_SANITIZE=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)"
ctest --test-dir "$build" --output-on-failure
