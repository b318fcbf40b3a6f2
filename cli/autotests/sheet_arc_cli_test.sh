#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end checks of `morvanta-table sheet`: its options in either spelling, malformed and
# refused command lines, and sheets without arcs byte for byte what they were before arcs came (the
# SHA-256 sums below, beside those of unchanged-outputs.sha256, were taken from the tool as it was
# then). Usage: sheet_arc_cli_test.sh PATH/TO/morvanta-table
. "$(dirname "$0")/harness.sh"

# The sheet is worked by hand in the engine's tests and pinned in unchanged-outputs.sha256.
run 0 sheet 7 --ratio 90 --dial 240
cp "$work/out" "$work/expected"
run 0 sheet --dial=240 --ratio=90 7
cmp -s "$work/out" "$work/expected" || fail "--dial=240 --ratio=90 7: not the sheet of 7 --ratio 90 --dial 240"
[ -s "$work/err" ] && fail "sheet --dial=240 --ratio=90 7: wrote to standard error"

while IFS='|' read -r sum args; do
    # shellcheck disable=SC2086
    got=$("$tool" sheet $args 2>&1 | sha256sum | cut -d' ' -f1)
    [ "$got" = "$sum" ] || fail "sheet $args: not what it printed before"
done <<'EOF2'
b5da95bf0b08b28b70b4fbc739644f9ec795261750c2f52ba2427d92cc7a4104|24 --ratio 72 --dial 80
c38d139f2e1b40b6da760ed2205671464099cd9f9709768231607fb964012057|10000
e4774e8ec8b753794f836eff9b7544778105467e3ffbcb4379089cac13f858b3|9 --ratio 90 --dial 360 --resolution 2
EOF2

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
