#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end checks of the dividing head's own work: `index --angle`, `gear`, `helix` and `flats`
# give the published moves and trains and the sizes worked by hand, on standard output with status
# 0, their CSV where asked, and refuse bad input with status 1 and malformed lines with status 2.
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

# The makers' moves on a 40:1 head.
has index --angle 35 -- \
    'Move: 3 turns and 16 holes on the 18-hole circle (plate 1) for each step'
has index --angle 11d30m -- \
    'Move: 1 turn and 5 holes on the 18-hole circle (plate 1) for each step'
has index --angle "17°30'" -- \
    'Move: 1 turn and 17 holes on the 18-hole circle (plate 1) for each step'
has index --angle 19 --plates cincinnati -- \
    'Move: 2 turns and 6 holes on the 54-hole circle (side 2) for each step'
has index --angle 8:50 --plates cincinnati -- \
    'Move: 0 turns and 53 holes on the 54-hole circle (side 2) for each step'
has index --angle 17:30:15 --repeat 2 -- \
    'Angle reached: 17°30'"'"'00.0", error -15.00" (angle reached minus angle wanted)' \
    '   2  35°00'"'"'30.0"      3     16  -30.00"'
run 0 index --angle 35 --repeat 2 --csv
[ "$(cat "$work/out")" = "$(printf 'step,degrees,minutes,seconds,turns,holes,circle\n0,0,0,0.0,0,0,18\n1,35,0,0.0,3,16,18\n2,70,0,0.0,7,14,18')" ] ||
    fail "index --angle 35 --repeat 2 --csv: $(cat "$work/out")"

# 56, 40, 44 and 100 make 6.160 in on a 10 in machine.
has helix --lead 6.16 -- \
    'Change gears: gear on worm 56, first gear on stud 40, second gear on stud 44, gear on screw 100' \
    'Lead reached: 10 in x (56 x 44) / (40 x 100) = 6.1600 in, exactly the lead wanted'
run 0 helix --lead 6.16 --csv
[ "$(sed -n 2p "$work/out")" = "56,40,44,100,6.1600,0.0000" ] || fail "helix --csv: $(sed -n 2p "$work/out")"

has gear 30 --module 2 -- \
    'Pitch diameter: 30 x 2 = 60.000 mm' \
    'Outside diameter, the blank: (30 + 2) x 2 = 64.000 mm' \
    'Whole depth of cut: 2.25 x 2 = 4.500 mm' \
    'Cutter: No. 4 of the eight involute cutters of module 2, 20°: the one for 26 to 34 teeth'
has gear 12 --dp 4 --pressure 14.5 -- \
    'Whole depth of cut: 2.157 / 4 = 0.5393 in' \
    'Cutter: No. 8 of the eight involute cutters of 4 DP, 14.5°: the one for 12 and 13 teeth'
has gear 30 --module 2 --helix 20 -- \
    'Pitch diameter: 30 x 2 / cos 20° = 63.851 mm' \
    'Formative tooth count: 30 / cos³ 20° = 36.15, to 2 decimals, which picks the cutter'
run 0 gear 30 --module 2 --csv
[ "$(head -n 1 "$work/out")" = "division,degrees,minutes,seconds,turns,holes,circle" ] ||
    fail "gear --csv: $(head -n 1 "$work/out")"

has flats 6 --diameter 30 -- \
    'Across flats: 30 x cos(180°/6) = 25.9808, the flats meeting at the corners on the round' \
    'Width of each flat: 30 x sin(180°/6) = 15.0000'
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
1|index --angle 0
1|index --angle 17d75m
1|index --angle 35 --repeat 0
1|gear 30
1|gear 30 --module 2 --dp 8
1|gear 30 --module 2 --hand left
1|helix
1|helix --angle 30
1|flats 6 --diameter 30 --across 30
1|flats 2 --diameter 30
END
run 1 gear 30 --module 2 --hand left
[ "$(cat "$work/err")" = "--hand is for a helical gear: give --helix with it" ] ||
    fail "gear --hand: $(cat "$work/err")"

finish "dividing head"
