#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end checks of the tables of `morvanta-table this` and `all`: the bytes, and the messages
# of refused input. What every command shares is checked in command_table_test.sh.
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
sed 's/   7 Holes/    7 Holes/' "$work/seven" >"$work/seven-blank"

expect 0 "$work/seven" "" this 7
expect 0 "$work/seven-blank" "" this " 7"

expect 1 "$work/empty" "This must be a number greater then 1" this ""
expect 1 "$work/empty" "This must be a number no greater than 10000000" this 1e8
expect 1 "$work/empty" "From must be a number greater then 0" all abc xyz

# The same bytes as before the tool had a table of commands: SHA-256 of the output of the tool
# built from commit 621fd96. A table this long is written in two halves at once, and the text
# must not show where they meet.
while read -r sum args; do
    # shellcheck disable=SC2086
    got=$("$tool" $args | sha256sum | cut -d' ' -f1)
    [ "$got" = "$sum" ] || fail "[$args]: the bytes differ from before"
done <<'EOF'
b9b52d264bb6cdb06b06ecf78fdee01f1a83894b54dcfce90b58d50dc8886267 this 7000000
EOF

finish "this and all"
