#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command on a virtual screen of its own:
#   scripts/with-own-display.sh [--screen WxHxD] COMMAND [ARGUMENTS]
# The X server takes a free display number itself (-displayfd) and says which, so that window
# tests started at the same moment never meet on one display, as two `xvfb-run -a` can: they
# guess a free number and start a server on it as two steps. The command's exit status is this
# script's; the server goes with it.
set -uo pipefail
screen=1024x768x24
if [[ ${1:-} == --screen ]]; then
    screen=$2
    shift 2
fi
(($# > 0)) || {
    echo "usage: $0 [--screen WxHxD] COMMAND [ARGUMENTS]" >&2
    exit 2
}
here=$(mktemp -d) || exit 1
server=""
finish() {
    if [[ -n $server ]]; then
        kill "$server" 2>/dev/null
        wait "$server" 2>/dev/null
    fi
    rm -rf "$here"
}
trap finish EXIT
: >"$here/display"
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp 3>"$here/display" 2>"$here/server.log" &
server=$!
# The number is written, with a line break, once the server takes connections; a loaded machine
# (the sanitizer build's tests) can take seconds to get there.
for ((tenths = 0; tenths < 600; ++tenths)); do
    (($(wc -l <"$here/display") > 0)) && break
    if ! kill -0 "$server" 2>/dev/null; then
        echo "$0: the virtual screen did not start:" >&2
        cat "$here/server.log" >&2
        exit 1
    fi
    sleep 0.1
done
display=$(head -n 1 "$here/display")
[[ $display =~ ^[0-9]+$ ]] || {
    echo "$0: the virtual screen gave no display number within a minute" >&2
    exit 1
}
DISPLAY=:$display "$@"
