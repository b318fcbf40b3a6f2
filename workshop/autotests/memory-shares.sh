#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: memory-shares.sh PATH/TO/workshopMemoryTest SHARES
# ctest runs the memory test's rows in SHARES shares (MORVANTA_MEMORY_SHARE=k/SHARES): between
# them they must try every row once, no share may be empty, and a share outside 1..SHARES must
# stop the test rather than try nothing. The rows are read from the test's -datatags, which lists
# them without running any.
set -u
test=$1
shares=$2
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}
# The rows of shouldNeverAbortShortOfMemory that the share given tries, sorted; all without one.
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
