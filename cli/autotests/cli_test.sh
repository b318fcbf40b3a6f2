#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end checks of `morvanta-table this` and `all`: exit status, the two streams, the bytes.
# Usage: cli_test.sh PATH/TO/morvanta-table
. "$(dirname "$0")/harness.sh"

# expect STATUS STDOUT-FILE STDERR-TEXT ARGS...: runs the tool and compares all three.
expect() {
    status=$1 out=$2 err=$3
    shift 3
    "$tool" "$@" >"$work/out" 2>"$work/err"
    got=$?
    [ "$got" -eq "$status" ] || fail "[$*]: status $got, expected $status"
    cmp -s "$work/out" "$out" || fail "[$*]: standard output differs"
    [ "$(cat "$work/err")" = "$err" ] || fail "[$*]: standard error was '$(cat "$work/err")'"
}

: >"$work/empty"
hyphens=---------------
printf '%s   7 Holes   %s\r\n  0\r\n 51.42857\r\n102.85714\r\n154.28571\r\n205.71428\r\n257.14285\r\n308.57142\r\n\r\n' \
    $hyphens $hyphens >"$work/seven"
tr -d '\r' <"$work/seven" >"$work/seven-lf"
sed 's/   7 Holes/    7 Holes/' "$work/seven" >"$work/seven-blank"

expect 0 "$work/seven" "" this 7
expect 0 "$work/seven" "" -- this 7
expect 0 "$work/seven-lf" "" --lf this 7
expect 0 "$work/seven-lf" "" this 7 --lf
expect 0 "$work/seven-blank" "" this " 7"

refused="This must be a number greater then 1"
expect 1 "$work/empty" "$refused" this -3
expect 1 "$work/empty" "$refused" this -- -3
expect 1 "$work/empty" "$refused" this ""
expect 1 "$work/empty" "This must be a number no greater than 10000000" this 1e8
expect 1 "$work/empty" "To must be greater then From" all 10 5
expect 1 "$work/empty" "From must be a number greater then 0" all abc xyz

"$tool" all 2 12 >"$work/out"
[ "$(wc -c <"$work/out")" -eq 708 ] || fail "all 2 12: $(wc -c <"$work/out") bytes, expected 708"
expect 0 "$work/empty" "" all 7 7

for args in "" "this" "this 7 8" "all 2" "tables 7" "-x this 7" "this --lf-typo"; do
    # shellcheck disable=SC2086
    "$tool" $args >"$work/out" 2>"$work/err"
    [ $? -eq 2 ] || fail "[$args]: expected usage error status 2"
    [ -s "$work/out" ] && fail "[$args]: usage error wrote to standard output"
    grep -q "^Try 'morvanta-table" "$work/err" || fail "[$args]: no pointer to the help on standard error"
done

"$tool" --help >"$work/out" 2>"$work/err" || fail "--help: non-zero status"
grep -q '^Usage: morvanta-table' "$work/out" || fail "--help: no usage on standard output"
[ "$("$tool" --version)" = "morvanta-table 1.1" ] || fail "--version: wrong text"

# A reader that stops early ends the tool quietly.
"$tool" this 7000000 2>"$work/err" | head -c 100 >/dev/null
[ -s "$work/err" ] && fail "closed pipe: wrote '$(cat "$work/err")'"

finish "this and all"
