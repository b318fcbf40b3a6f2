#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package, checks its metadata, installs it with apt-get and tries the installed
# programs the way a user would: scripts/check-package.sh [BUILD_DIR]
#
# Needs root for apt-get install; installs the tools it uses first (scripts/ensure-deps.sh test and
# package). Removes the package again at the end unless it was installed before the run. Every
# check prints one line; the last line counts them.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
here="$root/scripts/$(basename "${BASH_SOURCE[0]}")"
app_id=com.example.morvanta

passed=0
failed=0
pass() {
    echo "PASS: $*"
    passed=$((passed + 1))
}
fail() {
    echo "FAIL: $*"
    failed=$((failed + 1))
}
check() {
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

seven_holes() {
    printf -- '---------------   7 Holes   ---------------\r\n  0\r\n 51.42857\r\n102.85714\r\n154.28571\r\n205.71428\r\n257.14285\r\n308.57142\r\n\r\n'
}

# Prints the id of the first window of process PID named exactly Morvanta, waiting up to 20 s.
wait_for_window() {
    local pid=$1 id
    for _ in $(seq 200); do
        id=$(xdotool search --all --onlyvisible --pid "$pid" --name '^Morvanta$' 2>/dev/null | head -n 1)
        if [[ -n $id ]]; then
            echo "$id"
            return 0
        fi
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

visible_windows() {
    xdotool search --onlyvisible --pid "$1" --name '' 2>/dev/null | wc -l
}

# Closes the main window through File > Exit (Exit is the menu's last item) and expects the
# program to end with status 0 within 10 s. The keys wait for the menu to show, so that a slow
# machine does not send them to the main window instead.
close_window() {
    local pid=$1 id=$2 before
    for _ in 1 2 3; do
        before=$(visible_windows "$pid")
        xdotool mousemove --window "$id" 15 10 click 1
        for _ in $(seq 30); do
            (($(visible_windows "$pid") > before)) && break 2
            sleep 0.1
        done
    done
    xdotool key Up Return
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill "$pid"
        wait "$pid"
        return 1
    fi
    wait "$pid"
}

# Runs inside xvfb-run: the window checks. $1 is the installed program, $2 the same program
# installed under a path with spaces.
gui_checks() {
    local program=$1 spaced=$2 pid pid2 id id2
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY
    export XDG_RUNTIME_DIR
    XDG_RUNTIME_DIR=$(mktemp -d)

    "$program" 2>"$XDG_RUNTIME_DIR/stderr" &
    pid=$!
    if id=$(wait_for_window "$pid"); then
        pass "$program shows its window (xdotool search --name Morvanta)"
    else
        fail "$program shows no window; its standard error: $(cat "$XDG_RUNTIME_DIR/stderr")"
        return
    fi

    "$program" 2>/dev/null &
    pid2=$!
    if id2=$(wait_for_window "$pid2"); then
        pass "a second copy runs beside the first and shows its own window"
        check "the second copy closes with status 0 through File > Exit" close_window "$pid2" "$id2"
    else
        fail "a second copy shows no window"
    fi
    kill -0 "$pid" 2>/dev/null && pass "the first copy outlives the second" ||
        fail "the first copy ended when the second closed"

    # xclip keeps running, owning the clipboard, until another program takes it.
    printf 'held by xclip' | xclip -selection clipboard
    xdotool windowfocus --sync "$id"
    xdotool key --delay 100 Tab Tab Tab space
    local want got
    want=$(seven_holes | od -An -c)
    for _ in $(seq 100); do
        got=$(xclip -selection clipboard -o 2>/dev/null | od -An -c)
        [[ $got == "$want" ]] && break
        sleep 0.1
    done
    if [[ $got == "$want" ]]; then
        pass "Build This takes the clipboard from xclip and leaves the 7-hole table on it"
    else
        fail "after Build This the clipboard holds: $(xclip -selection clipboard -o | head -c 200)"
    fi

    check "$program closes with status 0 through File > Exit" close_window "$pid" "$id"

    "$spaced" 2>/dev/null &
    pid=$!
    if id=$(wait_for_window "$pid"); then
        pass "the copy installed under '$(dirname "$spaced")' shows its window"
        check "the copy installed under a path with spaces closes with status 0" \
            close_window "$pid" "$id"
    else
        fail "the copy installed under '$(dirname "$spaced")' shows no window"
    fi

    # As on a machine without fonts-liberation: fontconfig must offer some other face for the
    # Courier of the output box and for the dialog font, and the program must not mind.
    local fonts="$XDG_RUNTIME_DIR/fonts.conf"
    cat >"$fonts" <<'EOF'
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <selectfont><rejectfont><glob>/usr/share/fonts/truetype/liberation*/*</glob></rejectfont></selectfont>
</fontconfig>
EOF
    echo "INFO: without Liberation, fontconfig answers Courier with" \
        "$(FONTCONFIG_FILE=$fonts fc-match Courier) and Arial with $(FONTCONFIG_FILE=$fonts fc-match Arial)"
    FONTCONFIG_FILE=$fonts "$program" 2>/dev/null &
    pid=$!
    if id=$(wait_for_window "$pid"); then
        pass "without the Liberation fonts the window still appears"
        check "without the Liberation fonts the program closes with status 0" \
            close_window "$pid" "$id"
    else
        fail "without the Liberation fonts the window does not appear"
    fi
    rm -rf "$XDG_RUNTIME_DIR"
    echo "window checks: passed=$passed failed=$failed"
}

if [[ ${1:-} == --gui-checks ]]; then
    gui_checks "$2" "$3"
    exit $((failed > 0))
fi

build=$(realpath -m "${1:-$root/build-package}")
"$root/scripts/ensure-deps.sh" test
"$root/scripts/ensure-deps.sh" package
work=$(mktemp -d)
chmod 755 "$work"
trap 'rm -rf "$work"' EXIT

"$root/scripts/package.sh" "$build" >"$work/package.log" 2>&1
deb=$(tail -n 1 "$work/package.log")
[[ -f $deb ]] || {
    tail -n 30 "$work/package.log"
    echo "FAIL: scripts/package.sh made no package"
    exit 1
}
pass "scripts/package.sh built $(basename "$deb")"

depends=$(dpkg-deb -f "$deb" Depends)
echo "INFO: Depends: $depends"
for needed in fonts-liberation qt6-wayland libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6; do
    check "the package depends on $needed" grep -q "\b$needed\b" <<<"$depends"
done

dpkg-deb -x "$deb" "$work/tree"
report=$(desktop-file-validate "$work/tree/usr/share/applications/$app_id.desktop" 2>&1) &&
    [[ -z $report ]] && pass "desktop-file-validate says nothing" ||
    fail "desktop-file-validate: $report"
report=$(appstreamcli validate --no-net "$work/tree/usr/share/metainfo/$app_id.metainfo.xml" 2>&1) &&
    ! grep -q '^[EWI]:' <<<"$report" && pass "appstreamcli validate --no-net reports no issue" ||
    fail "appstreamcli validate --no-net: $report"
report=$(appstreamcli validate-tree --no-net "$work/tree" 2>&1) &&
    ! grep -q '^[EWI]:' <<<"$report" && pass "appstreamcli validate-tree --no-net reports no issue" ||
    fail "appstreamcli validate-tree --no-net: $report"

installed_before=$(dpkg-query -W -f='${Status}' morvanta 2>/dev/null | grep -c 'ok installed')
cp "$deb" "$work/"
chmod 644 "$work/$(basename "$deb")"
if (cd "$work" && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$(basename "$deb")") \
    >"$work/apt.log" 2>&1; then
    pass "apt-get install ./$(basename "$deb")"
else
    fail "apt-get install ./$(basename "$deb"): $(tail -n 5 "$work/apt.log")"
    echo "check-package: $passed passed, $failed failed"
    exit 1
fi
if ((installed_before == 0)); then
    trap 'DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq morvanta >/dev/null 2>&1; rm -rf "$work"' EXIT
fi

for file in /usr/bin/morvanta /usr/bin/morvanta-table /usr/share/applications/$app_id.desktop \
    /usr/share/metainfo/$app_id.metainfo.xml /usr/share/icons/hicolor/16x16/apps/$app_id.png \
    /usr/share/icons/hicolor/32x32/apps/$app_id.png /usr/share/man/man1/morvanta-table.1.gz \
    /usr/share/man/man1/morvanta.1.gz; do
    check "installed $file" test -f "$file"
done

if [[ $(/usr/bin/morvanta-table this 7 | od -An -c) == "$(seven_holes | od -An -c)" ]]; then
    pass "/usr/bin/morvanta-table this 7 prints the 7-hole table"
else
    fail "/usr/bin/morvanta-table this 7 printed: $(/usr/bin/morvanta-table this 7 | od -c | head)"
fi

spaced="$work/with space/x"
cmake --install "$build" --prefix "$spaced" >/dev/null
if [[ $("$spaced/bin/morvanta-table" this 7 | od -An -c) == "$(seven_holes | od -An -c)" ]]; then
    pass "morvanta-table installed under '$spaced' prints the 7-hole table"
else
    fail "morvanta-table installed under '$spaced' does not print the 7-hole table"
fi

# No display at all, and a display that does not answer.
for display in "" ":77"; do
    stderr=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$display" timeout 20 /usr/bin/morvanta 2>&1 >/dev/null)
    status=$?
    lines=$(grep -c '' <<<"$stderr")
    if ((status > 0 && status < 128)) && ((lines == 1)) && grep -q 'xvfb-run' <<<"$stderr"; then
        pass "with DISPLAY='$display' morvanta ends with status $status and one line: $stderr"
    else
        fail "with DISPLAY='$display' morvanta ended with status $status and said: $stderr"
    fi
done

xvfb-run -a -s '-screen 0 1280x1024x24' "$here" --gui-checks /usr/bin/morvanta \
    "$spaced/bin/morvanta" >"$work/gui.log" 2>&1
cat "$work/gui.log"
gui=$(grep '^window checks: ' "$work/gui.log" | tail -n 1)
if [[ $gui =~ passed=([0-9]+)\ failed=([0-9]+) ]]; then
    passed=$((passed + BASH_REMATCH[1]))
    failed=$((failed + BASH_REMATCH[2]))
else
    fail "the window checks under xvfb-run did not finish"
fi

echo "check-package: $passed passed, $failed failed"
((failed == 0))
