#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: memory-shares.sh PATH/TO/workshopMemoryTest SHARES
# The memory test's SHARES shares try every row once between them, none empty; a share outside
# 1..SHARES stops the test. The rows are read from -datatags, which runs none.
set -u
test=$1
shares=$2
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}
rows() {
    env ${1:+MORVANTA_MEMORY_SHARE=$1} QT_QPA_PLATFORM=offscreen "$test" -datatags 2>/dev/null |
        grep '^MemoryTest shouldNeverAbortShortOfMemory ' | sort
}

all=$(rows "")
[[ -n $all ]] || fail "no rows at all"
dealt=""
for ((share = 1; share <= shares; ++share)); do
    these=$(rows "$share/$shares")
    [[ -n $these ]] || fail "share $share/$shares has no rows"
    dealt+=$these$'\n'
done
missing=$(comm -23 <(echo "$all") <(echo "$dealt" | grep . | sort))
twice=$(echo "$dealt" | grep . | sort | uniq -d)
[[ -z $missing ]] || fail "rows in no share: $missing"
[[ -z $twice ]] || fail "rows in two shares: $twice"

for share in "0/$shares" "$((shares + 1))/$shares" "1" "a/$shares"; do
    if MORVANTA_MEMORY_SHARE=$share QT_QPA_PLATFORM=offscreen "$test" -datatags >/dev/null 2>&1; then
        fail "share $share was taken"
    fi
done
exit $failed
