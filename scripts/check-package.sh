#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package, checks its control fields, version and hardening, installs it with
# apt-get and tries the installed programs the way a user would: scripts/check-package.sh [BUILD_DIR]
# (morvanta, morvanta-table and Morvanta Workshop, all three from the one package, and a job file
# opened from the desktop). BUILD_DIR goes to scripts/package.sh: CI passes ./test.sh's build, whose
# tests have validated the desktop entries, the AppStream metadata, the MIME type, the man pages,
# the changelog and the copyright file the package holds (packaging/autotests).
#
# Needs root for apt-get install; installs the tools it uses first (scripts/ensure-deps.sh test and
# package). Removes the package again at the end unless it was installed before the run. Every
# check prints one line; the last line counts them.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
here="$root/scripts/$(basename "${BASH_SOURCE[0]}")"
app_id=com.example.morvanta
workshop_id=com.example.morvanta.workshop

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

# Prints the id of the first window of process PID named exactly NAME (Morvanta unless given),
# waiting up to 20 s.
wait_for_window() {
    local pid=$1 name=${2:-Morvanta} id
    for _ in $(seq 200); do
        id=$(xdotool search --all --onlyvisible --pid "$pid" --name "^$name\$" 2>/dev/null | head -n 1)
        if [[ -n $id ]]; then
            echo "$id"
            return 0
        fi
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# Whether the clipboard comes to hold, byte for byte, the text whose `od -An -c` dump is DUMP
# within 10 s, pressing KEY before each look when one is given.
clipboard_becomes() {
    local want=$1 got
    for _ in $(seq 50); do
        [[ -n ${2:-} ]] && xdotool key "$2"
        got=$(xclip -selection clipboard -o 2>/dev/null | od -An -c)
        [[ $got == "$want" ]] && return 0
        sleep 0.2
    done
    return 1
}

# Whether the program PATH bears the marks of Debian's hardening flags (scripts/release-flags.sh),
# whichever build it came from: -z now, -fstack-protector-strong and _FORTIFY_SOURCE.
hardened() {
    local dynamic symbols
    dynamic=$(readelf -dW "$1") && symbols=$(readelf --dyn-syms -W "$1") || return 1
    grep -q 'BIND_NOW' <<<"$dynamic" && grep -q ' __stack_chk_fail' <<<"$symbols" &&
        grep -q ' __[a-z]*_chk@' <<<"$symbols"
}

# Whether process PID ends within 10 s; one that does not is killed (and reaped where it is this
# shell's child). One that ends is left for the caller to reap, so that the caller can read its
# status with wait.
ends_in_10s() {
    local pid=$1
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null || return 0
    kill "$pid"
    wait "$pid" 2>/dev/null
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
    ends_in_10s "$pid" || return 1
    wait "$pid"
}

# Morvanta Workshop with settings of its own: its window appears with the 7-hole sheet of its
# defaults, Edit > Copy Sheet (Ctrl+Shift+C) leaves exactly what morvanta-table prints for the
# same input on the clipboard, and File > Quit (Ctrl+Q) ends it with status 0.
workshop_checks() {
    local workshop=$1 pid id want got status
    XDG_CONFIG_HOME="$XDG_RUNTIME_DIR/config" "$workshop" 2>"$XDG_RUNTIME_DIR/workshop.stderr" &
    pid=$!
    if id=$(wait_for_window "$pid" "Morvanta Workshop"); then
        pass "$workshop shows its window (xdotool search --name 'Morvanta Workshop')"
    else
        fail "$workshop shows no window; its standard error: $(cat "$XDG_RUNTIME_DIR/workshop.stderr")"
        return
    fi
    printf 'held by xclip' | xclip -selection clipboard
    xdotool windowfocus --sync "$id"
    if clipboard_becomes "$(/usr/bin/morvanta-table sheet 7 --ratio 90 --dial 240 | od -An -c)" ctrl+shift+c; then
        pass "Copy Sheet leaves what morvanta-table sheet 7 --ratio 90 --dial 240 prints on the clipboard"
    else
        fail "after Copy Sheet the clipboard holds: $(xclip -selection clipboard -o | head -c 200)"
    fi
    xdotool key ctrl+q
    if ! ends_in_10s "$pid"; then
        fail "$workshop did not end on Ctrl+Q"
        return
    fi
    wait "$pid"
    status=$?
    ((status == 0)) && pass "$workshop ends with status 0 through File > Quit" ||
        fail "$workshop ended with status $status through File > Quit"
    [[ -s $XDG_RUNTIME_DIR/config/Morvanta/morvanta-workshop.conf ]] &&
        pass "$workshop keeps its inputs in ~/.config/Morvanta/morvanta-workshop.conf" ||
        fail "$workshop wrote no settings under XDG_CONFIG_HOME"
}

# A job file opened from the desktop, as a file manager opens it (gio open, which looks up the
# program for the file's type): Morvanta Workshop starts with the file, its window named after the
# job, and File > Quit ends it.
desktop_open_checks() {
    local job="$XDG_RUNTIME_DIR/with space/Flange.morvanta" id pid
    mkdir -p "$(dirname "$job")"
    printf '{"format": "morvanta-job", "version": "1.0", "calculation": "coords", "name": "Flange",\n "units": "mm", "inputs": {"count": "6", "diameter": "100"}}\n' >"$job"
    XDG_CONFIG_HOME="$XDG_RUNTIME_DIR/config" gio open "$job" 2>"$XDG_RUNTIME_DIR/gio.stderr" ||
        fail "gio open $job: $(cat "$XDG_RUNTIME_DIR/gio.stderr")"
    # A minute: in CI the fuzzers share the machine with this check, and gio starts the program
    # through the desktop's own lookups first.
    for _ in $(seq 600); do
        id=$(xdotool search --all --onlyvisible --name '^Flange – Morvanta Workshop$' 2>/dev/null | head -n 1)
        [[ -n $id ]] && break
        sleep 0.1
    done
    if [[ -z $id ]]; then
        fail "gio open of a .morvanta file shows no window named 'Flange – Morvanta Workshop'"
        echo "INFO: gio said: $(cat "$XDG_RUNTIME_DIR/gio.stderr"); running: $(pgrep -a morvanta || echo nothing);" \
            "windows: $(xdotool search --all --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' '|')"
        pkill -x morvanta-workshop || true
        return
    fi
    pid=$(xdotool getwindowpid "$id")
    if [[ $(readlink "/proc/$pid/exe") == /usr/bin/morvanta-workshop ]] &&
        tr '\0' '\n' <"/proc/$pid/cmdline" | grep -qxF "$job"; then
        pass "gio open of a .morvanta file starts /usr/bin/morvanta-workshop with it, showing the job 'Flange'"
    else
        fail "the window for the job is process $pid: $(tr '\0' ' ' <"/proc/$pid/cmdline")"
    fi
    xdotool windowfocus --sync "$id"
    xdotool key ctrl+q
    if ends_in_10s "$pid"; then
        pass "the job's window ends on Ctrl+Q"
    else
        fail "the job's window did not end on Ctrl+Q"
    fi
}

# Runs on a virtual screen of its own: the window checks. $1 is the installed program, $2 the same
# program installed under a path with spaces, $3 the installed Morvanta Workshop.
gui_checks() {
    local program=$1 spaced=$2 workshop=$3 pid pid2 id id2
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
    if clipboard_becomes "$(seven_holes | od -An -c)"; then
        pass "Build This takes the clipboard from xclip and leaves the 7-hole table on it"
    else
        fail "after Build This the clipboard holds: $(xclip -selection clipboard -o | head -c 200)"
    fi

    check "$program closes with status 0 through File > Exit" close_window "$pid" "$id"

    "$spaced" 2>"$XDG_RUNTIME_DIR/spaced.stderr" &
    pid=$!
    if id=$(wait_for_window "$pid"); then
        pass "the copy installed under '$(dirname "$spaced")' shows its window"
        check "the copy installed under a path with spaces closes with status 0" \
            close_window "$pid" "$id"
    else
        fail "the copy installed under '$(dirname "$spaced")' shows no window; its standard" \
            "error: $(cat "$XDG_RUNTIME_DIR/spaced.stderr")"
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
    workshop_checks "$workshop"
    desktop_open_checks
    rm -rf "$XDG_RUNTIME_DIR"
    echo "window checks: passed=$passed failed=$failed"
}

if [[ ${1:-} == --gui-checks ]]; then
    gui_checks "$2" "$3" "$4"
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
for needed in fonts-liberation qt6-wayland libqt6widgets6 libqt6gui6 libqt6core6 libqt6printsupport6 \
    libqt6svg6 libstdc++6; do
    check "the package depends on $needed" grep -q "\b$needed\b" <<<"$depends"
done

dpkg-deb -x "$deb" "$work/tree"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
check "the package is version $version, as project() in CMakeLists.txt says" \
    test "$(dpkg-deb -f "$deb" Version)" = "$version"
for program in morvanta morvanta-table morvanta-workshop; do
    check "$program is built with Debian's hardening flags (bound at start, stack protector, fortified calls)" \
        hardened "$work/tree/usr/bin/$program"
done

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
    /usr/share/man/man1/morvanta.1.gz /usr/share/bash-completion/completions/morvanta-table \
    /usr/bin/morvanta-workshop /usr/share/man/man1/morvanta-workshop.1.gz \
    /usr/share/applications/$workshop_id.desktop /usr/share/metainfo/$workshop_id.metainfo.xml \
    /usr/share/icons/hicolor/16x16/apps/$workshop_id.png /usr/share/icons/hicolor/32x32/apps/$workshop_id.png \
    /usr/share/icons/hicolor/48x48/apps/$workshop_id.png \
    /usr/share/icons/hicolor/scalable/apps/$workshop_id.svg \
    /usr/share/mime/packages/$workshop_id.xml; do
    check "installed $file" test -f "$file"
done

# Job files are known to the desktop by their type, which the Workshop's entry opens.
job="$work/flange.morvanta"
printf '{"format": "morvanta-job", "version": "1.0", "calculation": "sheet", "inputs": {"count": "7", "ratio": "90", "dial": "240"}}\n' >"$job"
filetype=$(xdg-mime query filetype "$job")
check "xdg-mime query filetype of a .morvanta file gives application/x-morvanta-job (it gave $filetype)" \
    test "$filetype" = application/x-morvanta-job
opener=$(xdg-mime query default application/x-morvanta-job)
check "xdg-mime query default application/x-morvanta-job gives $workshop_id.desktop (it gave $opener)" \
    test "$opener" = "$workshop_id.desktop"
check "the installed desktop entry of Morvanta Workshop takes job files (MimeType=)" \
    grep -qx 'MimeType=application/x-morvanta-job;' /usr/share/applications/$workshop_id.desktop
check "the installed desktop entry of Morvanta Workshop hands it the file (Exec with %f)" \
    grep -qx 'Exec=morvanta-workshop %f' /usr/share/applications/$workshop_id.desktop
check "desktop-file-validate finds nothing to say of the installed entry" \
    test -z "$(desktop-file-validate /usr/share/applications/$workshop_id.desktop 2>&1)"
if report=$("$root/packaging/autotests/mime-type.sh" /usr/share/mime/packages/$workshop_id.xml 2>&1); then
    pass "the installed type of job files builds a MIME database without a word and names *.morvanta files and job texts"
else
    fail "the installed type of job files: $report"
fi
if [[ $(/usr/bin/morvanta-table job "$job") == "$(/usr/bin/morvanta-table sheet 7 --ratio 90 --dial 240)" ]]; then
    pass "/usr/bin/morvanta-table job prints the sheet of a job file"
else
    fail "/usr/bin/morvanta-table job printed: $(/usr/bin/morvanta-table job "$job" 2>&1 | head -n 3)"
fi

check "/usr/bin/morvanta-table --version names $version" \
    test "$(/usr/bin/morvanta-table --version)" = "morvanta-table $version"
check "the installed bash completion registers itself for morvanta-table" \
    bash --norc -c '. /usr/share/bash-completion/completions/morvanta-table &&
        complete -p morvanta-table >/dev/null'
check "the copyright file's licence text is installed (/usr/share/common-licenses/GPL-3)" \
    test -f /usr/share/common-licenses/GPL-3
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
for program in morvanta morvanta-workshop; do
    for display in "" ":77"; do
        stderr=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY="$display" timeout 20 /usr/bin/$program 2>&1 >/dev/null)
        status=$?
        lines=$(grep -c '' <<<"$stderr")
        if ((status > 0 && status < 128)) && ((lines == 1)) && grep -q 'xvfb-run' <<<"$stderr"; then
            pass "with DISPLAY='$display' $program ends with status $status and one line: $stderr"
        else
            fail "with DISPLAY='$display' $program ended with status $status and said: $stderr"
        fi
    done
done

# A screen of its own, whose number the server picks, as the window tests have: `xvfb-run -a`
# guesses a free number and then starts a server on it, a guess two runs at once can share.
"$root/scripts/with-own-display.sh" --screen 1280x1024x24 "$here" --gui-checks /usr/bin/morvanta \
    "$spaced/bin/morvanta" /usr/bin/morvanta-workshop >"$work/gui.log" 2>&1
cat "$work/gui.log"
gui=$(grep '^window checks: ' "$work/gui.log" | tail -n 1)
if [[ $gui =~ passed=([0-9]+)\ failed=([0-9]+) ]]; then
    passed=$((passed + BASH_REMATCH[1]))
    failed=$((failed + BASH_REMATCH[2]))
else
    fail "the window checks on a virtual screen did not finish"
fi

echo "check-package: $passed passed, $failed failed"
((failed == 0))
