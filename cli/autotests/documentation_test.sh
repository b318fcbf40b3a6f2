#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every command and option the help names is known to the completion, the man page and README,
# and the completion, sourced into bash, completes sensibly.
# Usage: documentation_test.sh PATH/TO/morvanta-table COMPLETION MAN_PAGE README
. "$(dirname "$0")/harness.sh"
completion=$2 manual=$3 readme=$4

mapfile -t commands < <("$tool" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z]\{1,\}\) .*/\1/p')
((${#commands[@]})) || fail "--help lists no commands"

# The --options a help text names, sorted, one per line.
options_of() {
    "$tool" "$@" --help | grep -o -- '--[a-z][a-z0-9-]*' | sort -u
}

# offered WORD... [; WORD...]...: a sorted line of what the completion offers for each request, its
# last word under the cursor, from one bash that sources the script as bash-completion would.
offered() {
    bash --norc --noprofile -c '
        source "$1" || exit 3
        shift
        registered=$(complete -p morvanta-table) || exit 4
        function=${registered#*-F }
        function=${function%% *}
        COMP_WORDS=(morvanta-table)
        for word in "$@"; do
            if [[ $word != ";" ]]; then
                COMP_WORDS+=("$word")
                continue
            fi
            COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
            COMP_LINE="${COMP_WORDS[*]}"
            COMP_POINT=${#COMP_LINE}
            COMPREPLY=()
            "$function" morvanta-table "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
            printf "%s\n" "${COMPREPLY[@]}" | sort | paste -sd " "
            COMP_WORDS=(morvanta-table)
        done' _ "$completion" "$@"
}

sorted() {
    printf '%s\n' "$@" | sort | paste -sd ' '
}

# expect EXPECTED WORD...: a request and what it must offer, asked all at once below.
requests=() expected=() asked=()
expect() {
    expected+=("$1")
    shift
    requests+=("$@" ";")
    asked+=("$*")
}

expect "$(sorted "${commands[@]}" help)" ""
expect "$(sorted "${commands[@]}" help)" --lf ""
expect "--crlf --help --lf --version" -
expect "$(sorted "${commands[@]}")" help ""
expect "" this ""
expect "--axis --csv --cw --decimals --dial --ends --gcode --help --resolution --rotary --span --start" \
    --crlf sheet 7 --ratio 90 --
expect "east north" coords 6 --zero ""
expect "forward incremental shortest" sheet 7 --gcode --rotary ""
expect "" sheet 7 --ratio ""
expect "" sheet 7 --ratio =
expect "" sheet -- --
# Then the options after each command word.
for command in "${commands[@]}"; do
    requests+=("$command" -- ";")
done
mapfile -t answers < <(offered "${requests[@]}")
((${#answers[@]} == ${#expected[@]} + ${#commands[@]})) || fail "sourcing the completion failed"
for i in "${!expected[@]}"; do
    [[ ${answers[i]} == "${expected[i]}" ]] ||
        fail "completing [${asked[i]}]: offered '${answers[i]}', expected '${expected[i]}'"
done

for i in "${!commands[@]}"; do
    command=${commands[i]}
    options=$(options_of "$command")
    # The completion offers every option of the command's help, after the command word.
    read -ra completed <<<"${answers[${#expected[@]} + i]}"
    while read -r option; do
        [[ " ${completed[*]} " == *" $option "* ]] ||
            fail "$command: the completion does not offer $option (packaging/morvanta-table.bash-completion)"
    done <<<"$options"

    # The man page has a section on the command that names each of its own options.
    section=$(awk -v command="$command" '
        /^\.S[HS] / { inside = $0 ~ "^\\.SS \"?" command "( |\"|$)"; if (inside) found = 1 }
        inside { print }
        END { exit !found }' "$manual") || fail "$manual has no .SS section on $command"
    while read -r option; do
        case $option in
            --help | --lf | --crlf | --version) ;;
            *) [[ $section == *"${option//-/\\-}"* ]] || fail "$manual: $command says nothing of $option" ;;
        esac
    done <<<"$options"

    grep -q "morvanta-table \(--[a-z]* \)*$command\b" "$readme" || fail "README shows no use of $command"
done

# The global options of --help, in the man page's OPTIONS.
options=$(awk '/^\.SH /{ inside = ($2 == "OPTIONS") } inside' "$manual")
while read -r option; do
    [[ $options == *"${option//-/\\-}"* ]] || fail "$manual: OPTIONS says nothing of $option"
done < <(options_of)

finish "help, completion, man page and README"
