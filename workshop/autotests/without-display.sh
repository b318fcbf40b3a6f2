#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: without-display.sh PATH/TO/morvanta-workshop
# Without a display, and with one that does not answer, the program must say so in one line that
# shows how to run it under Xvfb and end with status 1, never with Qt's abort.
set -u
program=$1
failed=0
for display in "" ":77"; do
    stderr=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$display" timeout 20 "$program" 2>&1 >/dev/null)
    status=$?
    lines=$(grep -c '' <<<"$stderr")
    if ((status != 1 || lines != 1)) || ! grep -q '^morvanta-workshop: .*xvfb-run -a morvanta-workshop$' <<<"$stderr"; then
        echo "FAIL: with DISPLAY='$display' the status was $status and the words: $stderr" >&2
        failed=1
    fi
done
exit $failed
