#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What every command of morvanta-table shares: where the global options may stand, the help of each
# command, the exit status 0, 1 or 2, a full disk, a reader that goes away, and the line breaks.
# Usage: command_table_test.sh PATH/TO/morvanta-table VERSION
. "$(dirname "$0")/harness.sh"
version=$2

# capture ARGS...: runs the tool, keeping the status in $status and the two streams in $work, for
# the checks that follow to judge.
capture() {
    "$tool" "$@" >"$work/out" 2>"$work/err"
    status=$?
}

# The commands as --help lists them: the indented words under "Commands:".
commands=$("$tool" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z]\{1,\}\) .*/\1/p')
[[ $(echo $commands) == "this all sheet index coords line grid gear helix flats job" ]] ||
    fail "--help lists the commands '$(echo $commands)'"

# Help: global, per command in both spellings, and among a command's words.
capture --help
[[ $status -eq 0 && ! -s $work/err ]] || fail "--help: status $status"
grep -q '^Usage: morvanta-table ' "$work/out" || fail "--help: no usage"
[[ $(grep -c '^Exit status: ' "$work/out") -eq 1 ]] || fail "--help: the exit status is not stated once"
cp "$work/out" "$work/global-help"
for args in "-h" "help" "--lf --help" "--help this"; do
    # shellcheck disable=SC2086
    capture $args
    [[ $status -eq 0 ]] && cmp -s "$work/out" "$work/global-help" || fail "[$args]: not the global help"
done
# The other spellings of a command's help, --version among its words and "--" before --help: one
# parser reads the words of every command but job, so each is tried on two or more of them in
# turn; job reads its own words and is tried on all.
spellings=("help @" "@ 7 --help" "@ -h 7" "--crlf @ --help" "@ --lf --help")
turn=0
for command in $commands; do
    capture "$command" --help
    [[ $status -eq 0 && ! -s $work/err ]] || fail "$command --help: status $status"
    head -n 1 "$work/out" | grep -q "^Usage: morvanta-table $command" ||
        fail "$command --help: first line $(head -n 1 "$work/out")"
    grep -q '^Lines end in ' "$work/out" || fail "$command --help: no default line break"
    cmp -s "$work/out" "$work/global-help" && fail "$command --help: the global help"
    cp "$work/out" "$work/help"
    picked=("${spellings[turn % 5]}")
    [[ $command == job ]] && picked=("${spellings[@]}")
    for spelling in "${picked[@]}"; do
        args=${spelling//@/$command}
        # shellcheck disable=SC2086
        capture $args
        [[ $status -eq 0 ]] && cmp -s "$work/out" "$work/help" || fail "[$args]: not the help of $command"
    done
    # --version belongs before the command word; among its words it is an unknown option.
    if [[ $((turn % 2)) -eq 0 || $command == job ]]; then
        capture "$command" 7 --version
        [[ $status -eq 2 && ! -s $work/out ]] || fail "$command 7 --version: status $status"
        grep -q "^morvanta-table $command: unknown option --version" "$work/err" ||
            fail "$command 7 --version: $(cat "$work/err")"
    fi
    # After "--" the global words are operands too, so the command sees them.
    if [[ $((turn % 2)) -eq 1 || $command == job ]]; then
        capture "$command" -- --help
        [[ $status -ne 0 ]] && ! grep -q '^Usage' "$work/out" || fail "$command -- --help printed the help"
    fi
    turn=$((turn + 1))
done

capture --version
[[ $status -eq 0 && $(cat "$work/out") == "morvanta-table $version" ]] ||
    fail "--version: status $status, '$(cat "$work/out")', expected 'morvanta-table $version'"
capture --lf --version
[[ $(cat "$work/out") == "morvanta-table $version" ]] || fail "--lf --version: '$(cat "$work/out")'"

# Every command's statuses: STATUS|ARGS|what standard error holds (for 1 the message itself).
while IFS='|' read -r expected args message; do
    # shellcheck disable=SC2086
    capture $args
    [[ $status -eq $expected ]] || fail "[$args]: status $status, expected $expected"
    case $expected in
        0)
            [[ -s $work/out || $args == "all 7 7" ]] || fail "[$args]: nothing on standard output"
            [[ -s $work/err ]] && fail "[$args]: wrote to standard error: $(cat "$work/err")"
            ;;
        1)
            [[ -s $work/out ]] && fail "[$args]: refused but wrote to standard output"
            [[ $(cat "$work/err") == "$message" ]] || fail "[$args]: standard error '$(cat "$work/err")'"
            ;;
        2)
            [[ -s $work/out ]] && fail "[$args]: malformed but wrote to standard output"
            command=${args%% *}
            [[ $(head -n 1 "$work/err") == "morvanta-table $command: $message" ]] ||
                fail "[$args]: standard error '$(head -n 1 "$work/err")'"
            [[ $(tail -n 1 "$work/err") == "Try 'morvanta-table $command --help'." ]] ||
                fail "[$args]: no pointer to the help of $command"
            ;;
    esac
done <<'EOF'
0|this 7|
0|this -- 7|
0|all 2 12|
0|all 7 7|
0|sheet 7|
0|sheet --csv -- 7|
1|this 1|This must be a number greater then 1
1|this -3|This must be a number greater then 1
1|all 10 5|To must be greater then From
1|all -- -1 5|From must be a number greater then 0
1|this -inf|This must be a number greater then 1
1|sheet 1|COUNT must be a whole number of holes from 2 to 10000; 1 is below 2
1|sheet 7 --span 0|--span must be a number of degrees above 0 and at most 360; 0 is not above 0
2|this|missing COUNT
2|this 7 8|COUNT expected, 2 given
2|this 7 --bogus|unknown option --bogus
2|this 7 --lf --crlf|--lf and --crlf together
2|all 2|FROM and TO expected, 1 given
2|all 2 3 4|FROM and TO expected, 3 given
2|all -x 2 3|FROM and TO expected, 3 given
2|this 7 --crlf --crlf|--crlf given twice
2|this 7 --help=1|--help takes no value
2|this --lf=1 7|--lf takes no value
2|index --survey 1 5 --bogus|unknown option --bogus
2|sheet 7 --ratio|--ratio needs a value
2|sheet 7 --csv --csv|--csv given twice
2|sheet 7 --csv=yes|--csv takes no value
EOF

# A word that names no option goes to the command as typed, spaces and all.
capture this "- 7"
[[ $status -eq 1 && $(cat "$work/err") == "This must be a number greater then 1" ]] ||
    fail "[this '- 7']: status $status, $(cat "$work/err")"

# Malformed before any command: the tool's own name only.
for args in "" "--lf" "bogus 7" "help bogus" "help this all" "--bogus this 7" "--lf --crlf this 7" \
    "--lf --lf this 7" "--version=2"; do
    # shellcheck disable=SC2086
    capture $args
    [[ $status -eq 2 && ! -s $work/out ]] || fail "[$args]: status $status, expected 2"
    grep -q "^morvanta-table: " "$work/err" && grep -q "^Try 'morvanta-table --help'.$" "$work/err" ||
        fail "[$args]: standard error '$(cat "$work/err")'"
done

# A word with a line break or another control character in it: still one line of complaint, the
# character shown as '?', and the pointer to the help.
for word in $'--bo\ngus' $'--bo\rgus' $'--bo\x7fgus'; do
    capture sheet 7 "$word"
    [[ $status -eq 2 && $(wc -l <"$work/err") -eq 2 &&
        $(head -n 1 "$work/err") == "morvanta-table sheet: unknown option --bo?gus" ]] ||
        fail "[sheet 7 $(printf %q "$word")]: status $status, $(cat -v "$work/err")"
done
capture $'bo\ngus' 7
[[ $status -eq 2 && $(cat "$work/err") == "morvanta-table: unknown command bo?gus"$'\n'"Try 'morvanta-table --help'." ]] ||
    fail "[bo\\ngus 7]: status $status, $(cat -v "$work/err")"

capture --crlf this 7 --lf
[[ $status -eq 2 && $(head -n 1 "$work/err") == "morvanta-table this: --lf and --crlf together" ]] ||
    fail "--crlf this 7 --lf: status $status, $(cat "$work/err")"

# A full disk: whatever was to be written, status 1 and one line saying so. One case for each
# place that writes: a table as made and converted, the global help, the version, a command's help
# by `help` and by --help.
if [[ -w /dev/full ]]; then
    for args in "this 7" "this 7 --lf" "--help" "--version" "help sheet" "this --help"; do
        # shellcheck disable=SC2086
        "$tool" $args >/dev/full 2>"$work/err"
        status=$?
        [[ $status -eq 1 ]] || fail "[$args] >/dev/full: status $status, expected 1"
        [[ $(wc -l <"$work/err") -eq 1 ]] && grep -q 'No space left' "$work/err" ||
            fail "[$args] >/dev/full: standard error '$(cat "$work/err")'"
    done
fi

# Out of memory: status 1 and one line, not an abort. The limit is the smallest (to 1000 KB) that
# still lets `this 7` start, found by halving; a sheet of 10000 holes then runs out on this
# machine's libraries. Where none works (the sanitizers reserve far more) or the sheet fits, there
# is nothing to see.
starts() {
    (ulimit -v "$1" && "$tool" this 7 >/dev/null 2>&1)
}
low=3000 high=40000
if starts "$high"; then
    while ((high - low > 1000)); do
        middle=$(((low + high) / 2000 * 1000))
        if starts "$middle"; then high=$middle; else low=$middle; fi
    done
    (ulimit -v "$high" && "$tool" sheet 10000 --ratio 90 >/dev/null 2>"$work/err")
    status=$?
    if [[ $status -ne 0 ]]; then
        [[ $status -eq 1 && $(cat "$work/err") == "morvanta-table: not enough memory" ]] ||
            fail "sheet 10000 in $high KB: status $status, $(head -c 200 "$work/err")"
    fi
fi

# A reader that goes away: quiet, even from a shell that ignores SIGPIPE; 141 is death by SIGPIPE.
# A megabyte is more than a pipe holds, with and without the conversion of line breaks.
for args in "this 100000" "this 100000 --lf"; do
    # shellcheck disable=SC2086
    (
        trap '' PIPE
        "$tool" $args 2>"$work/err" | head -c 100 >/dev/null
        echo "${PIPESTATUS[0]}" >"$work/status"
    )
    [[ -s $work/err ]] && fail "[$args] | head: wrote '$(cat "$work/err")'"
    [[ $(cat "$work/status") -eq 141 ]] || fail "[$args] | head: status $(cat "$work/status")"
done

# Line breaks on tables far larger than the 64 KiB the conversion works in, each way: CR LF taken
# out of `this`, put into `sheet`. (The global --lf is in every line of unchanged-outputs.sha256.)
"$tool" this 100000 >"$work/crlf"
[[ $(wc -c <"$work/crlf") -eq 1096429 ]] || fail "this 100000: $(wc -c <"$work/crlf") bytes"
[[ $(tr -d '\r' <"$work/crlf" | wc -c) -eq $((1096429 - $(wc -l <"$work/crlf"))) ]] ||
    fail "this 100000: not one CR before every LF"
tr -d '\r' <"$work/crlf" >"$work/lf"
"$tool" this 100000 --lf | cmp -s - "$work/lf" || fail "this 100000 --lf: not the table with LF"
"$tool" sheet 10000 >"$work/lf"
[[ $(wc -c <"$work/lf") -gt 65536 ]] || fail "sheet 10000: only $(wc -c <"$work/lf") bytes"
grep -q $'\r' "$work/lf" && fail "sheet 10000: a CR without --crlf"
sed 's/$/\r/' "$work/lf" >"$work/crlf"
"$tool" --crlf sheet 10000 | cmp -s - "$work/crlf" || fail "--crlf sheet 10000: not the sheet with CR LF"

finish "the command table"
