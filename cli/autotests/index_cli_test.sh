#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# End-to-end checks of `morvanta-table index`: the largest survey made whole, the survey's two
# values on the command line, and the plates refused in the command line's words. The plans and
# tables themselves are the engine's tests and unchanged-outputs.sha256.
# Usage: index_cli_test.sh PATH/TO/morvanta-table
. "$(dirname "$0")/harness.sh"

# The largest survey is made whole (the benchmark times it).
run 0 index --survey 1 100000
[ "$(wc -l <"$work/out")" -gt 100000 ] || fail "survey 1 100000: $(wc -l <"$work/out") lines"

# Malformed command lines: --survey takes FROM and TO, and no COUNT beside them.
while IFS='|' read -r status args; do
    # shellcheck disable=SC2086
    refused "$status" index $args
done <<'EOF2'
2|
2|7 --survey=1
2|--survey 1
2|--survey 1 2 3
1|--survey 5 4
EOF2
run 1 index 7 --plates ""
[ "$(cat "$work/err")" = "--plates must be bs or cincinnati, or whole numbers from 2 to 1000 with commas between and a slash between groups, at most 64 in all" ] ||
    fail "empty plates: $(cat "$work/err")"

finish "index"
