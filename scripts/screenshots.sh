#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the README's pictures of the three windows from the real program on a virtual display:
#   scripts/screenshots.sh [path/to/morvanta]      (default: build/app/morvanta)
# Writes docs/main.png, docs/help.png and docs/about.png. Needs xvfb, xdotool and imagemagick;
# with openbox installed the pictures show the window frames and captions as a desktop draws them.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program=$(realpath "${1:-$root/build/app/morvanta}")
out="$root/docs"
mkdir -p "$out"

if [[ -z ${MORVANTA_SCREENSHOT_DISPLAY:-} ]]; then
    exec env MORVANTA_SCREENSHOT_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$program"
fi

if command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    sleep 1
fi

"$program" >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT

window_of() { xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1; }
# Clicks at a point given in the window's client coordinates.
click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.5
}
shoot() { import -frame -window "$1" "$out/$2"; }

main=$(window_of Morvanta)
sleep 1
menu_height=$(( $(xdotool getwindowgeometry --shell "$main" | sed -n 's/^HEIGHT=//p') - 495 ))
click "$main" 432 $((menu_height + 56))
shoot "$main" main.png

click "$main" 88 $((menu_height / 2))
click "$main" 100 $((menu_height + 12))
help=$(window_of Help)
sleep 0.5
shoot "$help" help.png

xdotool windowactivate --sync "$main"
click "$main" 88 $((menu_height / 2))
click "$main" 100 $((menu_height + 34))
about=$(window_of About)
sleep 0.5
shoot "$about" about.png
echo "Wrote $out/main.png, $out/help.png and $out/about.png"
