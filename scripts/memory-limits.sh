#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Workshop's largest sheets (10,000 holes on the setting sheet, an index plate of 999,999,999
# divisions, a drilled grid of 100 by 100), under caps on the address space as `ulimit -v` sets
# them: Print preview, Export PDF, Save as CSV, Save G-code, Export Picture and Copy, each in a
# child process of the memory test, and a table of what came of each.
#   scripts/memory-limits.sh [MEGABYTES,...] [path/to/workshopMemoryTest]
#   (defaults: 150,170,185,200,230,260,300,400 and build/workshop/autotests/workshopMemoryTest)
# A cell says "done" (the sheet previewed, the file written, the sheet copied), "short" (the
# window said "Not enough memory to ..." and lived on, nothing written), "no sheet" (the page
# could not be worked out in that little memory, and said so) or FAILED (an abort or a wrong
# outcome: the test's output above the table says which). "+256" is a cap 256 kB above what the
# window holds once the page is filled. Exits 1 when any cell failed.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
limits=${1:-150,170,185,200,230,260,300,400}
test=$(realpath "${2:-$root/build/workshop/autotests/workshopMemoryTest}")
log=$(mktemp)
trap 'rm -f "$log"' EXIT

status=0
HOME=$(mktemp -d) MORVANTA_MEMORY_MEGABYTES=$limits \
    xvfb-run -a -s "-screen 0 1024x768x24" "$test" shouldNeverAbortShortOfMemory >"$log" 2>&1 ||
    status=1
grep -E '^(FAIL!|   Loc:)' "$log" || true

# One line per page, fields and action; one column per limit, in the order tried.
awk -v limits="$limits" '
    function cell(text) {
        if (text ~ /^Not enough memory to /) return "short"
        if (text ~ /no sheet/) return "no sheet"
        return "done"
    }
    /^(QINFO|FAIL!) *: MemoryTest::shouldNeverAbortShortOfMemory\(/ {
        line = $0
        sub(/^[^(]*\(/, "", line)
        tag = substr(line, 1, index(line, ")") - 1)
        rest = substr(line, index(line, ")") + 2)
        split(tag, parts, ", ")
        row = parts[1]; limit = parts[2]; sub(/ kB$/, "", limit)
        # A child tries every action of a row: each said as "action: outcome".
        if (match(rest, /^[a-z]+: /)) {
            row = row " " substr(rest, 1, RLENGTH - 2)
            rest = substr(rest, RLENGTH + 1)
        }
        if (!(row in seen)) { seen[row] = 1; rows[++count] = row }
        if (!(limit in known)) { known[limit] = 1; columns[++width] = limit }
        result[row, limit] = /^FAIL!/ ? "FAILED" : cell(rest)
    }
    END {
        printf "%-72s", "page, inputs, action \\ limit (MB)"
        for (c = 1; c <= width; ++c) {
            name = columns[c] ~ /^\+/ ? columns[c] "kB" : columns[c] / 1024
            printf " | %-8s", name
        }
        printf "\n"
        for (r = 1; r <= count; ++r) {
            printf "%-72s", rows[r]
            for (c = 1; c <= width; ++c) printf " | %-8s", result[rows[r], columns[c]]
            printf "\n"
        }
    }' "$log"
exit "$status"
