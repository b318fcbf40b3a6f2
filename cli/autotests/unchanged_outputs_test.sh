#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The outputs users keep in sheets and scripts stay byte for byte as they were: each line of
# unchanged-outputs.sha256 holds the SHA-256 of what `morvanta-table --lf ARGS` wrote (standard
# output and error, then "status N"), taken from the tool before its command line was made from the
# calculations' descriptions. A line changes only with a change of that output meant and said.
# Usage: unchanged_outputs_test.sh PATH/TO/morvanta-table
. "$(dirname "$0")/harness.sh"

while read -r sum args; do
    # shellcheck disable=SC2086
    got=$(printf '%s' "$("$tool" --lf $args 2>&1; echo "status $?")" | sha256sum | cut -d' ' -f1)
    [ "$got" = "$sum" ] || fail "$args: not the output it was"
done <"$(dirname "$0")/unchanged-outputs.sha256"

finish "unchanged outputs"
