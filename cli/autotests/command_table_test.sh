#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What every command shares: global options, help, statuses, full disk, SIGPIPE, line breaks.
# Usage: command_table_test.sh PATH/TO/morvanta-table VERSION
. "$(dirname "$0")/harness.sh"
version=$2

commands=$("$tool" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z]\{1,\}\) .*/\1/p')
[[ $(echo $commands) == "this all sheet index coords line grid gear helix flats job" ]] ||
    fail "--help lists the commands '$(echo $commands)'"

# Help: global, per command in every spelling, and among a command's words.
run 0 --help
[[ ! -s $work/err ]] && grep -q '^Usage: morvanta-table ' "$work/out" || fail "--help: no usage"
cp "$work/out" "$work/global-help"
for args in "-h" "help" "--lf --help" "--help this"; do
    # shellcheck disable=SC2086
    run 0 $args
    cmp -s "$work/out" "$work/global-help" || fail "[$args]: not the global help"
done
for command in $commands; do
    run 0 "$command" --help
    [[ ! -s $work/err ]] && head -n 1 "$work/out" | grep -q "^Usage: morvanta-table $command" ||
        fail "$command --help: first line $(head -n 1 "$work/out")"
    cp "$work/out" "$work/help"
    for spelling in "help @" "@ 7 --help" "@ -h 7" "--crlf @ --help" "@ --lf --help"; do
        args=${spelling//@/$command}
        # shellcheck disable=SC2086
        run 0 $args
        cmp -s "$work/out" "$work/help" || fail "[$args]: not the help of $command"
    done
done

run 0 --lf --version
[[ $(cat "$work/out") == "morvanta-table $version" ]] || fail "[--lf --version]: '$(cat "$work/out")'"

# STATUS|ARGS|standard error, for 2 its words after the command's name; output only with 0.
while IFS='|' read -r expected args message; do
    # shellcheck disable=SC2086
    run "$expected" $args
    [[ -s $work/out ]]
    (($? == (expected != 0))) || fail "[$args]: status $status and '$(head -c 100 "$work/out")'"
    for command in $args; do
        [[ $command == -* ]] || break
    done
    ((expected == 2)) &&
        message="morvanta-table $command: $message"$'\n'"Try 'morvanta-table $command --help'."
    [[ $(cat "$work/err") == "$message" ]] || fail "[$args]: standard error '$(cat "$work/err")'"
done <<'EOF'
0|this -- 7|
1|this -- --help|This must be a number greater then 1
1|job -- --help|--help: cannot be read: No such file or directory
1|this 1|This must be a number greater then 1
1|this -3|This must be a number greater then 1
1|all 10 5|To must be greater then From
1|all -- -1 5|From must be a number greater then 0
1|sheet 1|COUNT must be a whole number of holes from 2 to 10000; 1 is below 2
1|sheet 7 --span 0|--span must be a number of degrees above 0 and at most 360; 0 is not above 0
2|this|missing COUNT
2|this 7 8|COUNT expected, 2 given
2|this 7 --bogus|unknown option --bogus
2|sheet 7 --version|unknown option --version
2|this 7 --lf --crlf|--lf and --crlf together
2|--crlf this 7 --lf|--lf and --crlf together
2|all 2|FROM and TO expected, 1 given
2|all -x 2 3|FROM and TO expected, 3 given
2|this 7 --crlf --crlf|--crlf given twice
2|this 7 --help=1|--help takes no value
2|this --lf=1 7|--lf takes no value
2|sheet 7 --ratio|--ratio needs a value
2|sheet 7 --csv --csv|--csv given twice
2|sheet 7 --csv=yes|--csv takes no value
2|job|missing FILE
2|job a b|FILE expected, 2 given
EOF

# Malformed before any command: the tool's own name only.
for args in "" "--lf" "bogus 7" "help bogus" "help this all" "--bogus this 7" "--lf --crlf this 7" \
    "--lf --lf this 7" "--version=2"; do
    # shellcheck disable=SC2086
    run 2 $args
    [[ ! -s $work/out ]] && grep -q "^morvanta-table: " "$work/err" &&
        grep -q "^Try 'morvanta-table --help'.$" "$work/err" || fail "[$args]: '$(cat "$work/err")'"
done

# A control character in a word: still one line of complaint, the character shown as '?'.
for word in $'--bo\ngus' $'--bo\rgus' $'--bo\x7fgus'; do
    run 2 sheet 7 "$word"
    [[ $(wc -l <"$work/err") -eq 2 &&
        $(head -n 1 "$work/err") == "morvanta-table sheet: unknown option --bo?gus" ]] ||
        fail "[sheet 7 $(printf %q "$word")]: $(cat -v "$work/err")"
done

# A full disk: status 1 and one line, for each place that writes.
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

# Out of memory: status 1 and one line, not an abort, at the smallest limit (in steps of 1000 KB)
# that lets `this 7` start. Under the sanitizers none does; where the sheet fits there is nothing to see.
for ((kb = 3000; kb <= 40000; kb += 1000)); do
    (ulimit -v $kb && "$tool" this 7 >/dev/null 2>&1) || continue
    (ulimit -v $kb && "$tool" sheet 10000 --ratio 90 >/dev/null 2>"$work/err")
    status=$?
    ((status == 0)) || [[ $status -eq 1 && $(cat "$work/err") == "morvanta-table: not enough memory" ]] ||
        fail "sheet 10000 in $kb KB: status $status, $(head -c 200 "$work/err")"
    break
done

# A reader that goes away: death by SIGPIPE (141), quiet, even where the shell ignores SIGPIPE.
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

# Line breaks converted each way on tables far larger than the conversion's 64 KiB.
"$tool" this 100000 >"$work/crlf"
"$tool" this 100000 --lf | sed 's/$/\r/' | cmp -s - "$work/crlf" || fail "this 100000: not CR LF"
"$tool" --crlf sheet 10000 >"$work/crlf"
"$tool" sheet 10000 | sed 's/$/\r/' | cmp -s - "$work/crlf" || fail "--crlf sheet 10000: not CR LF"

finish "the command table"
