#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Morvanta and starts it: ./run.sh
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build="$root/build-run"

"$root/scripts/ensure-deps.sh" run
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMORVANTA_BUILD_UI=ON -DMORVANTA_BUILD_TESTS=OFF \
    -DMORVANTA_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" >/dev/null

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    echo "Morvanta needs a desktop and none was found (DISPLAY is not set); to run it without one: xvfb-run -a \"$build/app/morvanta\"" >&2
    exit 1
fi
exec "$build/app/morvanta"
