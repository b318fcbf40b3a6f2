#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end checks of the start angle, arcs and rotary-axis program of `morvanta-table sheet`, and
# that a sheet without them is byte for byte what it was before they came: the SHA-256 sums below
# were taken from the tool as it was then. Usage: sheet_arc_cli_test.sh PATH/TO/morvanta-table
. "$(dirname "$0")/harness.sh"

while IFS='|' read -r sum args; do
    # shellcheck disable=SC2086
    got=$("$tool" sheet $args 2>&1 | sha256sum | cut -d' ' -f1)
    [ "$got" = "$sum" ] || fail "sheet $args: not what it printed before"
done <<'EOF2'
5052eed7e87a5494da918fed7f28a8d8a171482a4a130bce6098297337016332|7
a431a2aabeb55366eb1ced43c74e2ba2810feebbae08d278b3834854acfb4927|7 --ratio 90 --dial 240
d6fe8eaac3fb04835a2424509fc4f65af316dbf91e071b610573756b03da9a23|7 --ratio 90
f819391d94004b6e32345db2e3df1a9b717e7464e75719288ee36e4ae63c7d6f|13 --ratio 40.5
76d9a274cdd8de08a90a5f3de025602b813349c49b756a0812f390ef58295628|360
2b2b8e043559cb36348278c5c2499440566602a02f2d462a25b7639a382462ad|10000 --resolution 2m
b5da95bf0b08b28b70b4fbc739644f9ec795261750c2f52ba2427d92cc7a4104|24 --ratio 72 --dial 80
b9ec4c5550ef83d32c3167f02575a1f6439ce037342c6c309e916335239c4aa0|5 --resolution 10s
6455d65021b8b6191f1b4b42cedeaaf26b1e2e0f149117fdd1ba56993627c901|7 --ratio 90 --dial 240 --csv
6000ac0f77a4363b7ff0664cd369ca2c3f6f1b45578e23142115ee2e0dc4a4d4|13 --ratio 40.5 --csv
a804713e342567a99b22b06097ad3ed0fe2081b4813679b6a8cbfcf127876f24|11 --csv
f1ed1f3e8820ad0797d69d0a223b63564d493ae7834974b967714128a6de6f86|2
c38d139f2e1b40b6da760ed2205671464099cd9f9709768231607fb964012057|10000
2ef71dc3a596605eda6b7dc624d657d132405c8eb56a4bdccde23bdff6f70aa8|9999 --ratio 90
e4774e8ec8b753794f836eff9b7544778105467e3ffbcb4379089cac13f858b3|9 --ratio 90 --dial 360 --resolution 2
EOF2

run 0 sheet 4 --gcode
cat >"$work/program" <<'EOF2'
%
(SETTING SHEET: 4 HOLES ON THE A AXIS)
(4 HOLES OVER THE FULL CIRCLE, 90 DEG APART)
(HOLE 1 AT 0 DEG, THE OTHERS IN THE + DIRECTION, EACH EXACT TO 4 DECIMALS)
(UNITS, WORK OFFSET AND AXIS AS SET ON THE CONTROL; M0 STOPS AT EACH HOLE)
G90 G0 A0.0000
M0 (HOLE 1)
G90 G0 A90.0000
M0 (HOLE 2)
G90 G0 A180.0000
M0 (HOLE 3)
G90 G0 A270.0000
M0 (HOLE 4)
M30
%
EOF2
cmp -s "$work/out" "$work/program" || fail "sheet 4 --gcode: the program differs"

run 0 sheet 7 --gcode --axis B --decimals 3 --start -15 --cw
grep -qx 'G90 G0 B15.000' "$work/out" || fail "--cw --start -15: hole 1"
grep -qx 'G90 G0 B-36.429' "$work/out" || fail "--cw --start -15: hole 2 at -(-15 + 360/7)"
grep -qx 'G90 G0 B-293.571' "$work/out" || fail "--cw --start -15: hole 7"

run 0 sheet 7 --ratio 90 --dial 240 --start 10 --span 90 --ends
grep -qx 'Holes: 7 holes over 90°, a hole at each end, 15° apart' "$work/out" || fail "--ends: the meaning"
grep -qx '   7  100°00'"'"'00"     25     0  0.00"' "$work/out" || fail "--ends: the last hole"

"$tool" sheet --help >"$work/out" 2>&1 || fail "sheet --help: status $?"
for option in --ratio --dial --resolution --start --span --ends --cw --csv --gcode --axis --decimals; do
    grep -q -- "^  $option" "$work/out" || fail "sheet --help does not explain $option"
done

while IFS='|' read -r status args; do
    # shellcheck disable=SC2086
    refused "$status" sheet $args
done <<'EOF2'
2|7 --axis
2|7 --start 1 --start 2
2|7 --ends=yes
1|7 --span 0
1|7 --span 400
1|7 --ends
1|7 --span 360 --ends
1|7 --start east
1|7 --gcode --ratio 90
1|7 --gcode --csv
1|7 --gcode --axis X
1|7 --gcode --decimals 9
1|7 --decimals 2
1|1000 --span 10 --ends --resolution 1m
EOF2

finish "sheet arcs"
