#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end checks of `morvanta-table sheet`: its options in either spelling, and malformed and
# refused command lines. Usage: sheet_arc_cli_test.sh PATH/TO/morvanta-table
. "$(dirname "$0")/harness.sh"

# The sheet is worked by hand in the engine's tests and pinned in unchanged-outputs.sha256.
run 0 sheet 7 --ratio 90 --dial 240
cp "$work/out" "$work/expected"
run 0 sheet --dial=240 --ratio=90 7
cmp -s "$work/out" "$work/expected" || fail "--dial=240 --ratio=90 7: not the sheet of 7 --ratio 90 --dial 240"
[ -s "$work/err" ] && fail "sheet --dial=240 --ratio=90 7: wrote to standard error"

while IFS='|' read -r status args; do
    # shellcheck disable=SC2086
    refused "$status" sheet $args
done <<'EOF2'
2|7 --axis
2|7 --start 1 --start 2
2|7 --ends=yes
1|7 --gcode --csv
EOF2

finish sheet
