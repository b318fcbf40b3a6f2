#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end checks of `morvanta-table coords`: its options in either spelling, the largest program,
# and refusals worded as the command line words them. Usage: coords_cli_test.sh PATH/TO/morvanta-table
. "$(dirname "$0")/harness.sh"

# The table and the program are pinned byte for byte in unchanged-outputs.sha256; here, the same
# request in other spellings, and the largest program made whole.
run 0 coords 6 --diameter 100 --centre 10,-5 --start 15
cp "$work/out" "$work/expected"
run 0 coords --start=15 --centre=10,-5 --radius 50 6
cmp -s "$work/out" "$work/expected" || fail "coords --radius 50 with = spellings: the table differs"
[ -s "$work/err" ] && fail "coords: wrote to standard error"

run 0 coords 10000 --diameter 123.456 --centre 1,2 --gcode --depth -1 --retract 1 --feed 50
[ "$(wc -l <"$work/out")" -eq 10011 ] || fail "10000 holes: $(wc -l <"$work/out") lines"

# Malformed command lines, then input the planner refuses, each with one line on standard error.
while IFS='|' read -r status message args; do
    # shellcheck disable=SC2086
    refused "$status" coords $args
    if [ "$status" -eq 1 ]; then
        [ "$(cat "$work/err")" = "$message" ] || fail "coords $args: message '$(cat "$work/err")'"
    fi
done <<'EOF2'
2||
2||--diameter 100
1|give the size of the circle with --diameter, --radius or --chord|6
1|the X of --centre takes no exponent: write the number out in full, as in 1000 for 1e3|6 --diameter 100 --centre 1e3,0
1|--depth belongs to --gcode|6 --diameter 100 --depth -5
1|--depth and --feed belong to --gcode|6 --diameter 100 --depth -5 --feed 100
EOF2

finish coords
