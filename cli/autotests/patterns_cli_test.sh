#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Drilling programs, `sheet --gcode --rotary`, no "-0", and two bases equally near.
# Usage: patterns_cli_test.sh PATH/TO/morvanta-table
. "$(dirname "$0")/harness.sh"

# The grid pinned for Fanuc and LinuxCNC in unchanged-outputs.sha256: the lines Grbl differs by.
run 0 grid 2 2 --pitch 10,5 --angle 90 --decimals 1 --gcode --depth -2 --retract 1 --feed 60 \
    --clearance 10 --dwell 0.5 --units in --dialect grbl
grep -qx '(G82 DRILLING TO Z-2.0 FROM R1.0 AT F60., A DWELL OF 0.5 S, CLEARANCE Z10.0, WRITTEN OUT AS G0 AND G1 MOVES)' \
    "$work/out" || fail "grbl: the cycle's comment"
[ "$(grep -c '^G4 P0.5$' "$work/out")" -eq 4 ] && grep -qx 'G90 G17 G20' "$work/out" && [ "$(head -c 1 "$work/out")" = "(" ] ||
    fail "grbl: $(cat "$work/out")"

run 0 grid 2 2 --pitch 10,5 --gcode --depth -2 --retract 1 --feed 60 --peck 0.75 --name "Op 20" --from 4
grep -qx '(OP 20)' "$work/out" || fail "--name: no name"
grep -qx '(HOLES DRILLED: FROM HOLE 4)' "$work/out" || fail "--from: not said"
grep -qx 'G98 G83 X0.0000 Y5.0000 Z-2.0000 R1.0000 Q0.7500 F60.' "$work/out" || fail "--peck: $(cat "$work/out")"

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
run 0 sheet 3 --gcode --rotary incremental --cw --decimals 0
[ "$(grep -v '^(' "$work/out" | paste -sd ' ')" = "% G90 G0 A0. M0 (HOLE 1) G91 G0 A-120. M0 (HOLE 2) G91 G0 A-120. M0 (HOLE 3) G90 M30 %" ] ||
    fail "incremental: $(cat "$work/out")"
# 7 holes: the increments are differences of rounded angles, 51.4286 then 51.4285 (102.8571).
run 0 sheet 7 --gcode --rotary incremental
[ "$(grep -o 'G91 G0 A[0-9.]*' "$work/out" | sed -n 2p)" = "G91 G0 A51.4285" ] || fail "incremental: no drift"

# Of two bases equally near, the higher: 71 as for 72.
run 0 index 71
grep -q '^Method: differential indexing, the crank moved as for 72 divisions$' "$work/out" || fail "index 71"

finish patterns
