#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: without-platform.sh PATH/TO/PROGRAM [x11]
# Without a desktop platform, the program says so in one line showing how to run it under Xvfb,
# status 1, not Qt's abort. With x11, only an empty DISPLAY and an X display that does not answer.
set -uo pipefail
program=$1 name=$(basename "$1") x11=${2:-}
runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
failed=0

expect_one_line() {
    local what=$1 stderr status
    shift
    stderr=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$runtime" "$@" \
        timeout 20 "$program" 2>&1 >/dev/null)
    status=$?
    if ((status == 1)) && [[ $(grep -c '' <<<"$stderr") == 1 ]] &&
        grep -q "^$name: .*xvfb-run -a $name\$" <<<"$stderr"; then
        echo "PASS: $what: $stderr"
    else
        echo "FAIL: $what: status $status, said: $stderr"
        failed=1
    fi
}

expect_one_line "no display at all" ${x11:+DISPLAY=}
expect_one_line "an X display that does not answer" DISPLAY=:77
[[ -n $x11 ]] && exit $failed
expect_one_line "QT_QPA_PLATFORM=xcb without DISPLAY" QT_QPA_PLATFORM=xcb
expect_one_line "a Wayland display that does not answer" WAYLAND_DISPLAY=morvanta-nowhere
exit $failed
