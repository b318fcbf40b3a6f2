#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end checks of `morvanta-table index`: exit statuses, the two streams, the plan of 127
# divisions, and the survey of 1 to 400 against the dividing-head makers' published facts.
# Usage: index_cli_test.sh PATH/TO/morvanta-table
. "$(dirname "$0")/harness.sh"

# 127 at 40:1: as for 120 divisions (40/120 = 5/15), the plate geared -7/3 by 56 driving 24.
run 0 index 127
[ -s "$work/err" ] && fail "index 127: wrote to standard error"
for line in \
    'Indexing: 127 divisions' \
    'Method: differential indexing, the crank moved as for 120 divisions' \
    'Move: 0 turns and 5 holes on the 15-hole circle (plate 1) for each division' \
    "Gear train, spindle to plate: 56 on the spindle drives 24 on the plate's shaft (one pair)" \
    'Direction: the plate turns against the crank; one idler or two, as the head needs' \
    'Check: 40/120 + (-7/3)/127 = 40/127 exactly' \
    'Division         Angle  Turns  Holes' \
    '       2    2°50'"'"'04.7"      0      5'; do
    grep -qxF "$line" "$work/out" || fail "index 127: no line '$line'"
done
[ "$(grep -c '^ *[0-9]\{1,3\}  .*"  ' "$work/out")" -eq 127 ] || fail "index 127: not 127 divisions"
tail -n 1 "$work/out" | grep -q 'division 1 again, exactly$' || fail "index 127: no closing line"
grep -q "$(printf '\r')" "$work/out" && fail "index 127: a CR in the plan"
run 0 --crlf index 127
[ "$(grep -c "$(printf '\r')\$" "$work/out")" -eq "$(wc -l <"$work/out")" ] || fail "--crlf"

# The survey's CSV: every count to 50 and every even count to 100 but 96 simple; every count to
# 382 reached; 383 not.
run 0 index --survey 1 400 --csv
[ "$(head -n 1 "$work/out")" = "count,method,turns,holes,circle,plate_holes,plate_circle,base,gearing,gears" ] || fail "survey: header"
[ "$(wc -l <"$work/out")" -eq 401 ] || fail "survey: not 400 rows"
awk -F, 'NR > 1 {
    simple = $1 <= 50 || ($1 <= 100 && $1 % 2 == 0 && $1 != 96)
    if (simple && $2 != "simple") { print "count " $1 " is " $2; bad = 1 }
    if ($1 == 96 && $2 == "simple") { print "96 is simple"; bad = 1 }
    if ($1 <= 382 && $2 == "none") { print "count " $1 " is none"; bad = 1 }
    if ($1 == 383 && $0 != "383,none,,,,,,,,") { print "383: " $0; bad = 1 }
    # A simple row is one exact move: (turns x circle + holes) x count = 40 x circle.
    if ($2 == "simple" && ($3 * $5 + $4) * $1 != 40 * $5) { print "inexact: " $0; bad = 1 }
} END { exit bad }' "$work/out" >"$work/bad" || fail "survey 1 400: $(head -n 3 "$work/bad")"
grep -qx '6,simple,6,10,15,,,,,' "$work/out" || fail "survey: 6 at 40:1"
grep -qx '97,differential,0,6,15,,,100,6/5,48/40' "$work/out" || fail "survey: 97 from 100"

run 0 index 63 --ratio 90 --csv
[ "$(sed -n 3p "$work/out")" = "2,5,42,51.4,1,9,21" ] || fail "63 at 90:1: $(sed -n 3p "$work/out")"
run 0 index 6 --plates=15,18/39 --gears 24,24
grep -qxF 'Move: 6 turns and 10 holes on the 15-hole circle (plate 1) for each division' \
    "$work/out" || fail "own plates"
run 0 index 20000
grep -qx 'The division table is printed for counts up to 10000.' "$work/out" || fail "20000"

# The largest survey and the largest table are made whole (the benchmark times them).
run 0 index --survey 1 100000
[ "$(wc -l <"$work/out")" -gt 100000 ] || fail "survey 1 100000: $(wc -l <"$work/out") lines"
run 0 index 10000 --csv
[ "$(wc -l <"$work/out")" -eq 10001 ] || fail "index 10000 --csv: $(wc -l <"$work/out") lines"

# Malformed command lines, then input the planner refuses, each with one line on standard error.
while IFS='|' read -r status args; do
    # shellcheck disable=SC2086
    refused "$status" index $args
done <<'EOF'
2|
2|7 8
2|7 --bogus
2|7 --ratio
2|7 --csv --csv
2|7 --survey=1
2|--survey 1
2|--survey 1 2 3
1|0
1|7.5
1|-7
1|1000000000
1|20000 --csv
1|7 --ratio 0
1|7 --ratio 40.5
2|7 --plates
1|7 --plates 15,1
1|7 --plates 15,,16
1|7 --gears 24,0
1|--survey 5 4
1|--survey 1 100001
1|--survey 0 5
EOF
run 1 index 7 --plates ""
[ "$(cat "$work/err")" = "--plates must be bs or cincinnati, or whole numbers from 2 to 1000 with commas between and a slash between groups, at most 64 in all" ] ||
    fail "empty plates: $(cat "$work/err")"

run 0 index --help
for option in --survey --ratio --plates --gears --csv; do
    grep -q -- "^  $option" "$work/out" || fail "index --help: no $option"
done

finish "index"
