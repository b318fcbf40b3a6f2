#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end checks of the dividing head's own work: `index --angle`, `gear`, `helix` and `flats`
# take their options and refuse malformed lines with status 2.
# Usage: dividing_cli_test.sh PATH/TO/morvanta-table
. "$(dirname "$0")/harness.sh"

# has ARGS... -- LINE...: the output of ARGS holds every LINE whole.
has() {
    args=""
    while [ "$1" != "--" ]; do
        args="$args $1"
        shift
    done
    shift
    # shellcheck disable=SC2086
    run 0 $args
    [ -s "$work/err" ] && fail "$args: wrote to standard error"
    for line in "$@"; do
        grep -qxF "$line" "$work/out" || fail "$args: no line '$line'"
    done
}

# The moves, trains and sizes are worked by hand in the engine's tests; here, a line of each that
# shows every option given taken.
has index --angle 19 --plates cincinnati --repeat 2 -- \
    '   2  38°00'"'"'00.0"      4     12' \
    'Move: 2 turns and 6 holes on the 54-hole circle (side 2) for each step'
has helix --lead 6.16 --diameter 2 --hand left -- \
    'Lead reached: 10 in x (56 x 44) / (40 x 100) = 6.1600 in, exactly the lead wanted' \
    'Hand: left: swing the table clockwise, seen from above, from square to the spindle'
has gear 12 --dp 4 --pressure 14.5 --helix 20 -- \
    'Cutter: No. 7 of the eight involute cutters of 4 DP, 14.5°: the one for 14 to 16 teeth'
has flats 6 --diameter 30 --across 26 --decimals 3 -- \
    'Width of each flat: sqrt(30² - 26²) = 14.967'

while IFS='|' read -r status args; do
    # shellcheck disable=SC2086
    refused "$status" $args
done <<'END'
2|index --angle
2|index --angle 35 --survey 1 2
2|index --angle 35 7
2|gear
2|gear 30 31 --module 2
2|helix 6.16
2|flats 6 --diameter
1|gear 30 --module 2 --hand left
END

finish "dividing head"
