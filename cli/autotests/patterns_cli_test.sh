#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end checks of the hole patterns of `morvanta-table` (line, grid, coords --chord), the
# drilling programs of each control, `sheet --gcode --rotary`, and the outputs' faults that are
# mended: no angle of 360 in a table within one turn, the formula said as it is used, no "-0".
# Usage: patterns_cli_test.sh PATH/TO/morvanta-table
. "$(dirname "$0")/harness.sh"

# line 5 at 45°, 10 apart: 10 cos 45 = 7.07107, 20 cos 45 = 14.14214, 40 cos 45 = 28.28427.
run 0 line 5 --pitch 10 --angle 45
[ "$(sed -n 1p "$work/out")" = "Line: 5 holes from X 0 Y 0 at 45°" ] || fail "line: the title"
grep -qx '   2   7.0711   7.0711  7.0711  7.0711' "$work/out" || fail "line: hole 2"
grep -qx '   3  14.1421  14.1421  7.0710  7.0710' "$work/out" || fail "line: hole 3, the move of rounded figures"
grep -qx '   5  28.2843  28.2843  7.0711  7.0711' "$work/out" || fail "line: hole 5"
# Over a length, a hole at each end; hole 2 left out, the others keeping their numbers.
run 0 line 3 --length 10 --omit 2 --csv --start 0,-1.5
[ "$(cat "$work/out")" = "hole,x,y,dx,dy
1,0.0000,-1.5000,,
3,10.0000,-1.5000,10.0000,0.0000" ] || fail "line --omit: $(cat "$work/out")"

# A 2 x 2 grid turned by 90°: row 1 runs up +Y, row 2 lies 5 to the left and runs back.
cat >"$work/fanuc" <<'EOF2'
%
(GRID: 2 ROWS X 2 COLUMNS FROM THE CORNER X0 Y0)
(PITCH X10 Y5, TURNED BY 90 DEG, DRILLED ROW BY ROW BACK AND FORTH)
(G82 DRILLING TO Z-2.0 FROM R1.0 AT F60., A DWELL OF 0.5 S, CLEARANCE Z10.0)
(UNITS INCHES, G20; WORK OFFSET, TOOL AND SPINDLE AS SET ON THE CONTROL)
G90 G17 G80 G20
G0 Z10.0
G98 G82 X0.0 Y0.0 Z-2.0 R1.0 P500 F60.
X0.0 Y10.0
X-5.0 Y10.0
X-5.0 Y0.0
G80
M30
%
EOF2
sed 's/ P500 / P0.5 /' "$work/fanuc" >"$work/linuxcnc"
cat >"$work/grbl" <<'EOF2'
(GRID: 2 ROWS X 2 COLUMNS FROM THE CORNER X0 Y0)
(PITCH X10 Y5, TURNED BY 90 DEG, DRILLED ROW BY ROW BACK AND FORTH)
(G82 DRILLING TO Z-2.0 FROM R1.0 AT F60., A DWELL OF 0.5 S, CLEARANCE Z10.0, WRITTEN OUT AS G0 AND G1 MOVES)
(UNITS INCHES, G20; WORK OFFSET, TOOL AND SPINDLE AS SET ON THE CONTROL)
G90 G17 G20
G0 Z10.0
G0 X0.0 Y0.0
G0 Z1.0
G1 Z-2.0 F60.
G4 P0.5
G0 Z10.0
G0 X0.0 Y10.0
G0 Z1.0
G1 Z-2.0 F60.
G4 P0.5
G0 Z10.0
G0 X-5.0 Y10.0
G0 Z1.0
G1 Z-2.0 F60.
G4 P0.5
G0 Z10.0
G0 X-5.0 Y0.0
G0 Z1.0
G1 Z-2.0 F60.
G4 P0.5
G0 Z10.0
M30
EOF2
for dialect in fanuc linuxcnc grbl; do
    run 0 grid 2 2 --pitch 10,5 --angle 90 --decimals 1 --gcode --depth -2 --retract 1 --feed 60 \
        --clearance 10 --dwell 0.5 --units in --dialect "$dialect"
    cmp -s "$work/out" "$work/$dialect" || fail "grid --dialect $dialect: $(diff "$work/$dialect" "$work/out")"
done
run 0 grid 2 2 --pitch 10,5 --gcode --depth -2 --retract 1 --feed 60 --peck 0.75 --name "Op 20" --from 4
grep -qx '(OP 20)' "$work/out" || fail "--name: no name"
grep -qx '(HOLES DRILLED: FROM HOLE 4)' "$work/out" || fail "--from: not said"
grep -qx 'G98 G83 X0.0000 Y5.0000 Z-2.0000 R1.0000 Q0.7500 F60.' "$work/out" || fail "--peck: $(cat "$work/out")"

# A bolt circle given by its chord: 6 holes 50 apart lie on a diameter of 100.
run 0 coords 6 --chord 50 --csv
[ "$(sed -n 3p "$work/out")" = "2,60.0000,25.0000,43.3013,-25.0000,43.3013" ] || fail "--chord: $(sed -n 3p "$work/out")"

# The angle within one turn never reads 360, as the sheet has it.
run 0 coords 1 --radius 10 --start 359.99999
grep -q "^   1  0.0000  0°00'00.0\"  10.0000  0.0000 *\$" "$work/out" || fail "--start 359.99999: $(tail -n 1 "$work/out")"
run 0 coords 2 --radius 10 --span 359.999999999 --ends --csv
[ "$(tail -n 1 "$work/out")" = "2,0.0000,10.0000,0.0000,0.0000,0.0000" ] || fail "--span 359.999999999: $(tail -n 1 "$work/out")"
# The header's formula is the one used: north counter-clockwise, X = -sin, Y = cos.
run 0 coords 4 --radius 10 --zero north
grep -q '^X, Y: centre + radius x -sin, cos of the angle,' "$work/out" || fail "--zero north: the formula"
run 0 coords 4 --radius 10 --cw
grep -q '^X, Y: centre + radius x cos, -sin of the angle,' "$work/out" || fail "--cw: the formula"
# The radius stops where its diameter stops fitting --diameter's 9 digits.
run 0 coords 1 --radius 499999999.999999999 --csv
[ "$(tail -n 1 "$work/out")" = "1,0.0000,500000000.0000,0.0000,," ] || fail "the largest radius"
refused 1 coords 1 --radius 500000000
[ "$(cat "$work/err")" = "--radius must be a number above 0 and below 500000000; 500000000 is not below 500000000" ] ||
    fail "a radius too large: $(cat "$work/err")"

# No output reads -0; a largest error that shows as zero says so.
run 0 sheet 2 --start 0.00000001
grep -q -- '-0\.0' "$work/out" && fail "sheet: -0 in $(cat "$work/out")"
[ "$(tail -n 1 "$work/out")" = 'Largest error: 0.00" (every setting is exact to the digit shown)' ] || fail "sheet: the footer"
run 0 sheet 2 --start 0.00000001 --csv
grep -q -- '-0\.0' "$work/out" && fail "sheet --csv: -0"
run 0 index 7453 --ratio 926 --gears 30,45 --plates 97,101/2,3
grep -q -- '-0\.00"' "$work/out" && fail "index: -0.00\""

# A rotary axis: forward by default, as before; within one turn; or G91 increments.
run 0 sheet 4 --gcode --start 300
cp "$work/out" "$work/default"
run 0 sheet 4 --gcode --start 300 --rotary forward
cmp -s "$work/out" "$work/default" || fail "--rotary forward is not the default"
[ "$(grep '^G90 G0' "$work/out" | paste -sd ' ')" = "G90 G0 A300.0000 G90 G0 A390.0000 G90 G0 A480.0000 G90 G0 A570.0000" ] ||
    fail "forward: $(grep G0 "$work/out")"
run 0 sheet 4 --gcode --start 300 --rotary shortest
[ "$(grep '^G90 G0' "$work/out" | paste -sd ' ')" = "G90 G0 A300.0000 G90 G0 A30.0000 G90 G0 A120.0000 G90 G0 A210.0000" ] ||
    fail "shortest: $(grep G0 "$work/out")"
[ "$(grep -c '^M0 (HOLE' "$work/out")" -eq 4 ] || fail "shortest: a stop at each hole"
run 0 sheet 3 --gcode --rotary incremental --cw --decimals 0
[ "$(grep -v '^(' "$work/out" | paste -sd ' ')" = "% G90 G0 A0. M0 (HOLE 1) G91 G0 A-120. M0 (HOLE 2) G91 G0 A-120. M0 (HOLE 3) G90 M30 %" ] ||
    fail "incremental: $(cat "$work/out")"
# 7 holes: the increments are differences of rounded angles, 51.4286 then 51.4285 (102.8571).
run 0 sheet 7 --gcode --rotary incremental
[ "$(grep -o 'G91 G0 A[0-9.]*' "$work/out" | sed -n 2p)" = "G91 G0 A51.4285" ] || fail "incremental: no drift"

# Every survey row sums back to ratio / count: compound, turns + holes / circle + plate_holes /
# plate_circle; differential, the crank's move gives ratio / base and the gearing makes up the
# rest, ratio / base + gearing / count = ratio / count. Worked in whole numbers by awk.
for ratio in 40 90; do
    run 0 index --survey 1 400 --ratio "$ratio" --csv
    [ "$(sed -n 1p "$work/out")" = "count,method,turns,holes,circle,plate_holes,plate_circle,base,gearing,gears" ] ||
        fail "survey --csv: the names"
    awk -F, -v r="$ratio" 'NR > 1 {
        if (NF != 10) { print "columns: " $0; bad = 1 }
        if ($2 == "compound" && ($3 * $5 * $7 + $4 * $7 + $6 * $5) * $1 != r * $5 * $7) { print; bad = 1 }
        if ($2 == "differential") {
            split($9, g, "/"); if (g[2] == "") g[2] = 1
            if (($3 * $5 + $4) * $8 != r * $5 || (r * $1 * g[2] + g[1] * $8) != r * $8 * g[2]) { print; bad = 1 }
        }
        seen[$2] = 1
    } END { exit bad || !seen["compound"] || !seen["differential"] }' "$work/out" >"$work/bad" ||
        fail "survey --ratio $ratio: rows that do not sum to ratio / count: $(head -3 "$work/bad")"
done
run 0 index --survey 51 51 --csv
[ "$(tail -n 1 "$work/out")" = "51,compound,1,2,17,-5,15,,," ] || fail "survey 51: $(tail -n 1 "$work/out")"
# Of two bases equally near, the higher: 71 as for 72, and the help says so.
run 0 index 71
grep -q '^Method: differential indexing, the crank moved as for 72 divisions$' "$work/out" || fail "index 71"
"$tool" index --help | tr '\n' ' ' | grep -q 'of two bases equally near, the higher (71 is divided as for 72, not 70)' ||
    fail "index --help: the rule for two bases equally near"

"$tool" --help >"$work/out" 2>&1
for command in line grid; do
    grep -q "^  $command " "$work/out" || fail "--help does not list $command"
done
"$tool" grid --help >"$work/out" 2>&1 || fail "grid --help: status $?"
for option in --corner --pitch --angle --decimals --omit --from --csv --gcode --depth --retract \
    --feed --clearance --peck --dwell --units --dialect --name; do
    grep -q -- "^  $option" "$work/out" || fail "grid --help does not explain $option"
done

while IFS='|' read -r status message command args; do
    # shellcheck disable=SC2086
    refused "$status" "$command" $args
    if [ "$status" -eq 1 ]; then
        [ "$(cat "$work/err")" = "$message" ] || fail "$command $args: message '$(cat "$work/err")'"
    fi
done <<'EOF2'
2||grid|3
2||line|5 --pitch
1|give the spacing with --pitch or --length|line|5
1|a grid may have at most 10000 holes; ROWS x COLUMNS is more|grid|101 100 --pitch 1,1
1|--omit names hole 6; the pattern has 5|line|5 --pitch 1 --omit 2,6
1|--omit and --from leave no hole to drill|line|2 --pitch 1 --omit 2 --from 2
1|--clearance must be at or above --retract; 0.5 is below 1|line|2 --pitch 1 --gcode --depth -1 --retract 1 --feed 9 --clearance 0.5
1|give either --peck or --dwell, not both|grid|1 2 --pitch 1,1 --gcode --depth -1 --retract 1 --feed 9 --peck 1 --dwell 1
1|--units must be control, mm or in; cm is not one of them|line|2 --pitch 1 --gcode --depth -1 --retract 1 --feed 9 --units cm
1|--rotary belongs to --gcode|sheet|4 --rotary shortest
EOF2

finish patterns
