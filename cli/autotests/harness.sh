# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the end-to-end checks of morvanta-table with the tool's path as $1.
set -u
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# run EXPECTED_STATUS ARGS...: the tool's streams in $work/out and $work/err, its status in $status.
run() {
    expected=$1
    shift
    "$tool" "$@" >"$work/out" 2>"$work/err"
    status=$?
    [ "$status" -eq "$expected" ] || fail "[$*]: status $status, expected $expected"
}

# refused STATUS COMMAND ARGS...: nothing on standard output; a malformed line (2) is named by its
# command on standard error, refused input (1) told there in one line.
refused() {
    local want=$1 command=$2
    shift 2
    run "$want" "$command" "$@"
    [ -s "$work/out" ] && fail "$command $*: wrote to standard output"
    if [ "$want" -eq 2 ]; then
        grep -q "^morvanta-table $command: " "$work/err" || fail "$command $*: $(cat "$work/err")"
    else
        [ "$(wc -l <"$work/err")" -eq 1 ] || fail "$command $*: not one line on standard error"
    fi
}

finish() {
    if [ "$failures" -ne 0 ]; then
        echo "$failures failed" >&2
        exit 1
    fi
    echo "$1: all checks passed"
}
