#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The type of job files, learnt from the installed package file in a MIME database of its own: by
# name or by a job's text; other JSON is not one; the database built without a word.
# Usage: mime-type.sh PACKAGE_XML
set -uo pipefail
xml=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

mkdir -p "$work/share/mime/packages" "$work/home"
cp "$xml" "$work/share/mime/packages/"
export XDG_DATA_DIRS="$work/share:/usr/share" XDG_DATA_HOME="$work/home"
# update-mime-database leaves out what it cannot read, saying so but exiting 0.
said=$(update-mime-database "$work/share/mime" 2>&1) || fail "update-mime-database refused $xml"
[[ -z $said ]] || fail "update-mime-database on $xml: $said"

job='{"format": "morvanta-job", "version": "1.0", "calculation": "sheet", "inputs": {"count": "7"}}'
printf '%s\n' "$job" >"$work/gear-without-name"
printf '{"format": "other"}\n' >"$work/other.json"
printf '[1, 2]\n' >"$work/list.morvanta"
while read -r file expected; do
    got=$(gio info -a standard::content-type "$work/$file" | sed -n 's/^ *standard::content-type: //p')
    [[ $got == "$expected" ]] || fail "$file: the type is $got, expected $expected"
done <<'LIST'
list.morvanta application/x-morvanta-job
gear-without-name application/x-morvanta-job
other.json application/json
LIST

((failures == 0)) || exit 1
echo "the job type: all checks passed"
