#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the README's pictures of the three windows from the real program on a virtual display:
#   scripts/screenshots.sh [path/to/morvanta [path/to/morvanta-workshop]]
#   (defaults: build/app/morvanta and build/workshop/morvanta-workshop)
# Writes docs/main.png, docs/help.png and docs/about.png, and of Morvanta Workshop
# docs/workshop-sheet.png, workshop-fault.png, workshop-index.png, workshop-bolt.png,
# workshop-line.png, workshop-grid.png,
# workshop-scaled.png (the Index plate page at QT_SCALE_FACTOR=1.5), workshop-printed.png (the first page of the
# index plate plan for 127 divisions exported as PDF, drawn by pdftoppm) and
# workshop-index-picture.svg (that plan's picture as Export Picture writes it). Needs xvfb,
# xdotool, imagemagick and poppler-utils; with openbox installed the pictures show the window
# frames and captions as a desktop draws them.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
program=$(realpath "${1:-$root/build/app/morvanta}")
workshop=$(realpath "${2:-$root/build/workshop/morvanta-workshop}")
out="$root/docs"
mkdir -p "$out"

if [[ -z ${MORVANTA_SCREENSHOT_DISPLAY:-} ]]; then
    exec env MORVANTA_SCREENSHOT_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$program" \
        "$workshop"
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
kill "$pid" 2>/dev/null || true

# Morvanta Workshop, from its defaults: settings of its own in a folder that goes afterwards.
config=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$config"' EXIT
export XDG_CONFIG_HOME=$config
keys() {
    xdotool windowactivate --sync "$workshop_window" key --delay 80 "$@"
    sleep 0.5
}
retype() {
    keys ctrl+a
    xdotool type --delay 60 -- "$1"
    sleep 0.5
}

"$workshop" >/dev/null 2>&1 &
pid=$!
workshop_window=$(window_of "Morvanta Workshop")
sleep 1
shoot "$workshop_window" workshop-sheet.png
# A slip of the finger: the letter O for the nought of 90, typed over it in one key.
keys alt+r End shift+Left
xdotool type --delay 60 O
sleep 0.5
shoot "$workshop_window" workshop-fault.png
keys BackSpace
xdotool type --delay 60 0
keys alt+i
shoot "$workshop_window" workshop-index.png
# 127 divisions on a 40:1 head with the Brown & Sharpe plates, the page's defaults, on paper.
keys ctrl+shift+p
retype "$config/index.pdf"
keys Return
sleep 1
pdftoppm -f 1 -l 1 -r 80 -png -singlefile "$config/index.pdf" "$out/workshop-printed"
# The bolt circle of the README, with a drilling cycle for Save G-code.
keys alt+b alt+n
retype 10
keys alt+y
retype -5
keys alt+t
retype 15
keys alt+p
retype -5
keys alt+r
retype 2
keys alt+d
retype 100
shoot "$workshop_window" workshop-bolt.png
# The line and the grid of holes, the pages after it, from their first values.
keys ctrl+Tab
shoot "$workshop_window" workshop-line.png
keys ctrl+Tab
shoot "$workshop_window" workshop-grid.png
kill "$pid"
wait "$pid" 2>/dev/null || true

rm -rf "$config"/Morvanta
QT_SCALE_FACTOR=1.5 "$workshop" >/dev/null 2>&1 &
pid=$!
workshop_window=$(window_of "Morvanta Workshop")
sleep 1
# The page whose answer is longest, its answer box wrapped rather than cut.
keys alt+i
shoot "$workshop_window" workshop-scaled.png
kill "$pid"
wait "$pid" 2>/dev/null || true

# The index plate's picture as File > Export Picture writes it, from a dialog of its own, which
# would first ask whether to replace the last one.
rm -f "$out/workshop-index-picture.svg"
"$workshop" >/dev/null 2>&1 &
pid=$!
workshop_window=$(window_of "Morvanta Workshop")
sleep 1
keys alt+i ctrl+shift+e
retype "$out/workshop-index-picture.svg"
keys Return
sleep 1
kill "$pid"
wait "$pid" 2>/dev/null || true
echo "Wrote $out/workshop-sheet.png, workshop-fault.png, workshop-index.png, workshop-bolt.png," \
    "workshop-line.png, workshop-grid.png," \
    "workshop-printed.png, workshop-scaled.png and workshop-index-picture.svg"
