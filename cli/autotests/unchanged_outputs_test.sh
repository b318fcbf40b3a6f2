#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The outputs users keep in sheets and scripts stay byte for byte: each line of
# unchanged-outputs.sha256 holds the SHA-256 of what `morvanta-table --lf ARGS` wrote (both streams,
# then "status N"). A line changes only with a change of that output meant and said.
# Usage: unchanged_outputs_test.sh PATH/TO/morvanta-table
. "$(dirname "$0")/harness.sh"

kept="$(dirname "$0")/unchanged-outputs.sha256"
n=0
while read -r sum args; do
    n=$((n + 1))
    # shellcheck disable=SC2086
    printf '%s' "$("$tool" --lf $args 2>&1; echo "status $?")" >"$work/$n"
    echo "$sum  $n" >>"$work/sums"
done <"$kept"
(cd "$work" && sha256sum --check --quiet sums) >"$work/differ" 2>/dev/null
while IFS=: read -r line _; do
    fail "$(sed -n "${line}s/^[0-9a-f]*  //p" "$kept"): not the output it was"
done <"$work/differ"
[ "$n" -eq "$(wc -l <"$kept")" ] || fail "read $n of the $(wc -l <"$kept") outputs"

finish "unchanged outputs"
