#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end checks of `morvanta-table sheet`: the exit status, what lands on standard output and
# standard error, and the sheet itself. Usage: sheet_cli_test.sh PATH/TO/morvanta-table
. "$(dirname "$0")/harness.sh"

cat >"$work/expected" <<'EOF'
Setting sheet: 7 holes
Worm ratio: 90:1, one handwheel turn = 4°
Dial: 240 graduations per turn, one graduation = 1'
Resolution: 1' (1 graduation), halves rounded up
Angle: each hole's exact angle (hole - 1) x 360° / 7, rounded on its own
Turns: whole handwheel turns from hole 1 at zero; Dial: graduations past them
Error: angle set minus exact angle, in seconds of arc

Hole       Angle  Turns  Dial    Error
   1    0°00'00"      0     0    0.00"
   2   51°26'00"     12   206  +17.14"
   3  102°51'00"     25   171  -25.71"
   4  154°17'00"     38   137   -8.57"
   5  205°43'00"     51   103   +8.57"
   6  257°09'00"     64    69  +25.71"
   7  308°34'00"     77    34  -17.14"
Largest error: 25.71" (hole 3)
EOF

for args in "7 --ratio 90 --dial 240" "--dial=240 --ratio=90 7"; do
    # shellcheck disable=SC2086
    run 0 sheet $args
    cmp -s "$work/out" "$work/expected" || fail "sheet $args: the sheet differs"
    [ -s "$work/err" ] && fail "sheet $args: wrote to standard error"
done

run 0 sheet 7 --ratio 90 --dial 240 --csv
[ "$(sed -n 3p "$work/out")" = "2,51,26,0,12,206,17.1429" ] || fail "--csv: second hole"
[ "$(wc -l <"$work/out")" -eq 8 ] || fail "--csv: not a name row and 7 holes"

run 0 sheet 10000 --resolution 2m
[ "$(tail -n 2 "$work/out" | head -n 1)" = "10000  359°58'00\"   +9.60\"" ] || fail "10000 holes"
grep -q "$(printf '\r')" "$work/out" && fail "a CR in the sheet"

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
