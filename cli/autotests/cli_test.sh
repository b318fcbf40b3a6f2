#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end checks of the tables of `morvanta-table this` and `all` beyond those pinned in
# unchanged-outputs.sha256: an empty count and the largest refused in their own words, and the
# longest table. What every command shares is checked in command_table_test.sh.
# Usage: cli_test.sh PATH/TO/morvanta-table
. "$(dirname "$0")/harness.sh"

while IFS='|' read -r message count; do
    refused 1 this "$count"
    [ "$(cat "$work/err")" = "$message" ] || fail "this '$count': $(cat "$work/err")"
done <<'EOF2'
This must be a number greater then 1|
This must be a number no greater than 10000000|1e8
EOF2

# The same bytes as before the tool had a table of commands: SHA-256 of the output of the tool
# built from commit 621fd96. A table this long is written in two halves at once, and the text
# must not show where they meet.
[ "$("$tool" this 7000000 | sha256sum | cut -d' ' -f1)" = b9b52d264bb6cdb06b06ecf78fdee01f1a83894b54dcfce90b58d50dc8886267 ] ||
    fail "this 7000000: the bytes differ from before"

finish "this and all"
