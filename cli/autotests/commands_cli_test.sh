#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Each command beyond unchanged-outputs.sha256 and command_table_test.sh: spellings, the largest
# outputs, options taken, and command lines refused.
# Usage: commands_cli_test.sh PATH/TO/morvanta-table
. "$(dirname "$0")/harness.sh"

# Options in either spelling and any order: the output of the first, which is pinned.
# shellcheck disable=SC2086
while IFS='|' read -r one other; do
    run 0 $other
    "$tool" $one | cmp -s - "$work/out" && [ ! -s "$work/err" ] || fail "[$other]: not the output of [$one]"
done <<'EOF'
sheet 7 --ratio 90 --dial 240|sheet --dial=240 --ratio=90 7
coords 6 --diameter 100 --centre 10,-5 --start 15|coords --start=15 --centre=10,-5 --radius 50 6
EOF

# The largest outputs made whole. `this` keeps the bytes of commit 621fd96: a table this long is
# written in two halves at once, and the text must not show where they meet.
run 0 index --survey 1 100000
[ "$(wc -l <"$work/out")" -gt 100000 ] || fail "survey 1 100000: $(wc -l <"$work/out") lines"
run 0 coords 10000 --diameter 123.456 --centre 1,2 --gcode --depth -1 --retract 1 --feed 50
[ "$(wc -l <"$work/out")" -eq 10011 ] || fail "10000 holes: $(wc -l <"$work/out") lines"
[ "$("$tool" this 7000000 | sha256sum | cut -d' ' -f1)" = b9b52d264bb6cdb06b06ecf78fdee01f1a83894b54dcfce90b58d50dc8886267 ] ||
    fail "this 7000000: the bytes differ from before"

# ARGS|LINE: the output holds LINE, which shows an option taken (worked in the engine's tests).
while IFS='|' read -r args line; do
    # shellcheck disable=SC2086
    run 0 $args
    grep -qxF "$line" "$work/out" && [ ! -s "$work/err" ] || fail "$args: no line '$line'"
done <<'EOF'
helix --lead 6.16 --diameter 2 --hand left|Hand: left: swing the table clockwise, seen from above, from square to the spindle
flats 6 --diameter 30 --across 26 --decimals 3|Width of each flat: sqrt(30² - 26²) = 14.967
EOF

# STATUS|MESSAGE|ARGS: for a refusal (1), MESSAGE is its one line.
while IFS='|' read -r status message args; do
    # shellcheck disable=SC2086
    refused "$status" $args
    if [ -n "$message" ]; then
        [ "$(cat "$work/err")" = "$message" ] || fail "$args: message '$(cat "$work/err")'"
    fi
done <<'EOF2'
1|This must be a number no greater than 10000000|this 1e8
2||index --survey 1
2||index --angle 35 --survey 1 2
2||index --angle 35 7
1|give the size of the circle with --diameter, --radius or --chord|coords 6
1|the X of --centre takes no exponent: write the number out in full, as in 1000 for 1e3|coords 6 --diameter 100 --centre 1e3,0
1|--depth and --feed belong to --gcode|coords 6 --diameter 100 --depth -5 --feed 100
2||helix 6.16
1|--units must be control, mm or in; cm is not one of them|line 2 --pitch 1 --gcode --depth -1 --retract 1 --feed 9 --units cm
1|--rotary belongs to --gcode|sheet 4 --rotary shortest
EOF2
# An empty word, which the table cannot hold.
refused 1 this ""
[ "$(cat "$work/err")" = "This must be a number greater then 1" ] || fail "this '': $(cat "$work/err")"
refused 1 index 7 --plates ""
[ "$(cat "$work/err")" = "--plates must be bs or cincinnati, or whole numbers from 2 to 1000 with commas between and a slash between groups, at most 64 in all" ] ||
    fail "empty plates: $(cat "$work/err")"

finish "the commands"
