#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end checks of `morvanta-table coords`: the exit status, what lands on standard output and
# standard error, and the three outputs. Usage: coords_cli_test.sh PATH/TO/morvanta-table
. "$(dirname "$0")/harness.sh"

cat >"$work/expected" <<'EOF2'
Bolt circle: 6 holes on a diameter of 100, centre X 10 Y -5
Holes: 6 holes over the full circle, 60° apart
Angles: counter-clockwise from +X (east), hole 1 at 15°
Radius: 50; chord between neighbouring holes: 50.0000
Angle: 15° + (hole - 1) x 60° exactly, within one turn; DMS the same in degrees, minutes, seconds
X, Y: centre + radius x cos, sin of the angle, correctly rounded to 4 decimals (halves away from 0)
dX, dY: rounded X, Y minus those of the hole drilled before; blank for the first hole drilled

Hole     Angle           DMS         X         Y        dX        dY
   1   15.0000   15°00'00.0"   58.2963    7.9410                    
   2   75.0000   75°00'00.0"   22.9410   43.2963  -35.3553   35.3553
   3  135.0000  135°00'00.0"  -25.3553   30.3553  -48.2963  -12.9410
   4  195.0000  195°00'00.0"  -38.2963  -17.9410  -12.9410  -48.2963
   5  255.0000  255°00'00.0"   -2.9410  -53.2963   35.3553  -35.3553
   6  315.0000  315°00'00.0"   45.3553  -40.3553   48.2963   12.9410
EOF2

for args in "6 --diameter 100 --centre 10,-5 --start 15" "--start=15 --centre=10,-5 --radius 50 6"; do
    # shellcheck disable=SC2086
    run 0 coords $args
    cmp -s "$work/out" "$work/expected" || fail "coords $args: the table differs"
    [ -s "$work/err" ] && fail "coords $args: wrote to standard error"
done
run 0 --crlf coords 6 --diameter 100 --centre 10,-5 --start 15
[ "$(tr -d '\r' <"$work/out" | cmp -s - "$work/expected" && echo same)" = same ] || fail "--crlf: not the same table"
[ "$(grep -c "$(printf '\r')\$" "$work/out")" -eq 15 ] || fail "--crlf: not every line ends in CR LF"

run 0 coords 12 --radius 50 --csv
[ "$(sed -n 1p "$work/out")" = "hole,angle,x,y,dx,dy" ] || fail "--csv: the names"
[ "$(sed -n 2p "$work/out")" = "1,0.0000,50.0000,0.0000,," ] || fail "--csv: 0 degrees"
[ "$(sed -n 3p "$work/out")" = "2,30.0000,43.3013,25.0000,-6.6987,25.0000" ] || fail "--csv: 30 degrees"
[ "$(sed -n 8p "$work/out")" = "7,180.0000,-50.0000,0.0000,-6.6987,-25.0000" ] || fail "--csv: 180 degrees"
[ "$(wc -l <"$work/out")" -eq 13 ] || fail "--csv: not a name row and 12 holes"
grep -q -- '-0\.0000' "$work/out" && fail "--csv: a negative zero"

run 0 coords 7 --radius 50 --span 90 --ends --decimals 2
grep -qx 'Holes: 7 holes over 90°, a hole at each end, 15° apart' "$work/out" || fail "--ends: the meaning"
[ "$(tail -n 1 "$work/out")" = "   7  90.00  90°00'00\"   0.00  50.00  -12.94   1.70" ] || fail "--ends: the last hole"

run 0 coords 6 --diameter 100 --centre 10,-5 --start 15 --gcode --depth -5 --retract 2 --feed 100
cat >"$work/program" <<'EOF2'
%
(BOLT CIRCLE: 6 HOLES ON A DIAMETER OF 100, CENTRE X10 Y-5)
(6 HOLES OVER THE FULL CIRCLE, 60 DEG APART)
(COUNTER-CLOCKWISE FROM +X, HOLE 1 AT 15 DEG)
(G81 DRILLING TO Z-5.0000 FROM R2.0000 AT F100., CLEARANCE Z2.0000)
(UNITS AS SET ON THE CONTROL, NOT CONVERTED; WORK OFFSET, TOOL AND SPINDLE TOO)
G90 G17 G80
G0 Z2.0000
G98 G81 X58.2963 Y7.9410 Z-5.0000 R2.0000 F100.
X22.9410 Y43.2963
X-25.3553 Y30.3553
X-38.2963 Y-17.9410
X-2.9410 Y-53.2963
X45.3553 Y-40.3553
G80
M30
%
EOF2
cmp -s "$work/out" "$work/program" || fail "--gcode: the program differs"
[ -s "$work/err" ] && fail "--gcode: wrote to standard error"

run 0 coords 10000 --diameter 123.456 --centre 1,2 --gcode --depth -1 --retract 1 --feed 50
[ "$(wc -l <"$work/out")" -eq 10011 ] || fail "10000 holes: $(wc -l <"$work/out") lines"

"$tool" coords --help >"$work/out" 2>&1 || fail "coords --help: status $?"
for option in --diameter --radius --chord --centre --start --cw --zero --span --ends --decimals \
    --omit --from --csv --gcode --depth --retract --feed --clearance --peck --dwell --units \
    --dialect --name; do
    grep -q -- "^  $option" "$work/out" || fail "coords --help does not explain $option"
done
"$tool" --help | grep -q '^  coords' || fail "--help does not list coords"

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
2||6 7 --diameter 100
2||6 --bogus
2||6 --diameter
2||6 --diameter 100 --diameter 100
2||6 --diameter 100 --cw=yes
1|COUNT must be a whole number of holes from 1 to 10000; 0 is below 1|0 --diameter 100
1|COUNT must be a whole number of holes from 1 to 10000; -3 is below 1|-3 --diameter 100
1|give the size of the circle with --diameter, --radius or --chord|6
1|--diameter must be a number above 0; -100 is not above 0|6 --diameter -100
1|--diameter takes no exponent: write the number out in full, as in 1000 for 1e3|6 --diameter 1e3
1|--diameter may have at most 9 digits before the point; 1234567890 has 10|6 --diameter 1234567890
1|--diameter may have at most 9 decimals; 0.0000000001 has 10|6 --diameter 0.0000000001
1|--radius must be a number above 0 and below 500000000; 999999999.999999999 is not below 500000000|6 --radius 999999999.999999999
1|the X of --centre takes no exponent: write the number out in full, as in 1000 for 1e3|6 --diameter 100 --centre 1e3,0
1|--start may have at most 9 decimals; -99999.9999999999 has 10|6 --diameter 100 --start -99999.9999999999
1|give only one of --diameter, --radius and --chord|6 --diameter 100 --radius 50
1|give only one of --diameter, --radius and --chord|6 --chord 10 --radius 50
1|--ends cannot be used with --span 360: the last hole would lie on the first|6 --diameter 100 --span 360 --ends
1|give either --csv or --gcode, not both|6 --diameter 100 --csv --gcode
1|a drilling program needs --depth, the Z of the bottom of the holes|6 --diameter 100 --gcode --retract 2 --feed 100
1|--depth belongs to --gcode|6 --diameter 100 --depth -5
1|--depth and --feed belong to --gcode|6 --diameter 100 --depth -5 --feed 100
1|--retract must lie above --depth; 1 is not above 2|6 --diameter 100 --gcode --depth 2 --retract 1 --feed 100
EOF2

if [ -w /dev/full ]; then
    "$tool" coords 6 --diameter 100 >/dev/full 2>"$work/err"
    status=$?
    [ "$status" -eq 1 ] || fail "a full disk: status $status, expected 1"
fi

finish coords
