#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end checks of `morvanta-table sheet`: the exit status, what lands on standard output and
# standard error, and input refused. Usage: sheet_cli_test.sh PATH/TO/morvanta-table
. "$(dirname "$0")/harness.sh"

# The sheet is worked by hand in the engine's tests; here, its options in either spelling.
run 0 sheet 7 --ratio 90 --dial 240
cp "$work/out" "$work/expected"
run 0 sheet --dial=240 --ratio=90 7
cmp -s "$work/out" "$work/expected" || fail "--dial=240 --ratio=90 7: not the sheet of 7 --ratio 90 --dial 240"
[ -s "$work/err" ] && fail "sheet --dial=240 --ratio=90 7: wrote to standard error"
grep -qx 'Worm ratio: 90:1, one handwheel turn = 4°' "$work/out" || fail "sheet: --ratio not taken"
grep -q '^Dial: 240 graduations per turn' "$work/out" || fail "sheet: --dial not taken"
run 0 sheet 10000 --resolution 2m

# Input the sheet refuses. How every command answers a malformed command line is checked in
# command_table_test.sh.
while IFS='|' read -r status args; do
    # shellcheck disable=SC2086
    refused "$status" sheet $args
done <<'EOF2'
1|7.5
1|-7
1|7 --ratio 0
1|7 --dial 240
1|7 --resolution 10
1|10000 --resolution 3m
EOF2

finish sheet
