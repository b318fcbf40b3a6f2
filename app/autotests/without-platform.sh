#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Wherever no desktop platform can start, morvanta says so in one line and ends with status 1,
# instead of Qt's abort with a page of advice: without-platform.sh path/to/morvanta
set -uo pipefail
program=$1
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
failed=0

expect_one_line() {
    local what=$1 stderr status lines
    shift
    stderr=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$runtime" "$@" \
        timeout 20 "$program" 2>&1 >/dev/null)
    status=$?
    lines=$(grep -c '' <<<"$stderr")
    if ((status == 1 && lines == 1)) && grep -q '^morvanta: .*xvfb-run' <<<"$stderr"; then
        echo "PASS: $what: $stderr"
    else
        echo "FAIL: $what: status $status, said: $stderr"
        failed=1
    fi
}

expect_one_line "no display at all"
expect_one_line "an X display that does not answer" DISPLAY=:77
expect_one_line "QT_QPA_PLATFORM=xcb without DISPLAY" QT_QPA_PLATFORM=xcb
expect_one_line "a Wayland display that does not answer" WAYLAND_DISPLAY=morvanta-nowhere
expect_one_line "Wayland asked for, no compositor" QT_QPA_PLATFORM=wayland
exit $failed
