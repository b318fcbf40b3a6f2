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
expect 0 "$work/empty" "" all 7 7

"$tool" all 2 12 >"$work/out"
[ "$(wc -c <"$work/out")" -eq 708 ] || fail "all 2 12: $(wc -c <"$work/out") bytes, expected 708"

# The same bytes as before the tool had a table of commands: SHA-256 of the output of the tool
# built from commit 621fd96.
while read -r sum args; do
    # shellcheck disable=SC2086
    got=$("$tool" $args | sha256sum | cut -d' ' -f1)
    [ "$got" = "$sum" ] || fail "[$args]: the bytes differ from before"
done <<'EOF'
bfbb7047400bad691fe2d4b04e30fc6f7d8fa63b05a12e0c932ebbd01e9c6a49 this 7
2e41f7c71bc1e974ddfe0a599853e9a5def481579424d891a68d606bc69e563c this 400
440af65813ca346340346173ff709211ce9dae2904a5587ef1f66bc6f85efe9d this 1.5
70340c5eb8f779e89a0af9a44f461c398a8786d1db00ed4f327060367f49f2c9 this 70000
b9b52d264bb6cdb06b06ecf78fdee01f1a83894b54dcfce90b58d50dc8886267 this 7000000
1577eb60e7bda4d460ef047dca5f0c90a7bbeeffba6d7250a33dc19355317480 all 2 100
4af2f075bf80b94edd2dae95c3662a8a5754046d044d00df0ce347506e0da620 all 0.5 10
ca3c5a87404347bd62144b612d7fa72153e83d4cb82860755aff952a70e2ef74 all 1 360
EOF

finish "this and all"
