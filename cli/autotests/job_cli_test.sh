#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# `morvanta-table job FILE`: the sheet as its command prints it, the job's units, bad files refused
# in one line that names the file. Usage: job_cli_test.sh PATH/TO/morvanta-table
. "$(dirname "$0")/harness.sh"

# job FILE CALCULATION UNITS INPUTS...: a job file, each input "id": "text".
job() {
    file=$1 calculation=$2 units=$3
    shift 3
    inputs=$(IFS=,; echo "$*")
    printf '{"format": "morvanta-job", "version": "1.0", "calculation": "%s", "units": %s,\n "inputs": {%s}, "ticks": [1]}\n' \
        "$calculation" "$units" "$inputs" >"$work/$file"
}

job seven.morvanta sheet null '"count": "7"' '"ratio": "90"' '"dial": "240"'
run 0 job "$work/seven.morvanta"
"$tool" sheet 7 --ratio 90 --dial 240 >"$work/expected"
cmp -s "$work/out" "$work/expected" && [ ! -s "$work/err" ] || fail "job: not the sheet of sheet 7 --ratio 90 --dial 240"
run 0 job --crlf -- "$work/seven.morvanta"
sed 's/$/\r/' "$work/expected" | cmp -s - "$work/out" || fail "job --crlf: not the sheet in CR LF"

# In inches: the headings of lengths say so; every other line is the command's own.
job flange.morvanta coords '"in"' '"count": "6"' '"diameter": "4"' '"cw": ""'
run 0 job "$work/flange.morvanta"
"$tool" coords 6 --diameter 4 --cw >"$work/expected"
grep -q '^Hole     Angle           DMS   X (in)   Y (in)  dX (in)  dY (in)$' "$work/out" || fail "job in inches: the headings: $(grep Hole "$work/out")"
grep -v '^Hole ' "$work/out" >"$work/rows"
grep -v '^Hole ' "$work/expected" | cmp -s - "$work/rows" || fail "job in inches: a figure or a line changed"

# A bad file of each stage (every kind of fault is the engine's test).
job one.morvanta sheet null '"count": "1"'
mkdir "$work/folder.morvanta"
head -c 1048577 /dev/zero | tr '\0' ' ' >"$work/large.morvanta"
# The largest job: the 7 holes followed by blanks up to 1 MiB.
cp "$work/seven.morvanta" "$work/padded.morvanta"
head -c $((1048576 - $(wc -c <"$work/seven.morvanta"))) /dev/zero | tr '\0' ' ' >>"$work/padded.morvanta"
while IFS='|' read -r file message; do
    refused 1 job "$work/$file"
    [ "$(cat "$work/err")" = "$work/$file: $message" ] || fail "job $file: $(cat "$work/err")"
done <<EOF
one.morvanta|line 2, column 22: inputs.count must be a whole number of holes from 2 to 10000; 1 is below 2
missing.morvanta|cannot be read: No such file or directory
folder.morvanta|cannot be read: Is a directory
large.morvanta|a job file may have at most 1048576 bytes (1 MiB); this one has more
EOF
run 0 job "$work/padded.morvanta"
"$tool" sheet 7 --ratio 90 --dial 240 | cmp -s - "$work/out" || fail "the job of 1 MiB: not the sheet"

finish "morvanta-table job"
