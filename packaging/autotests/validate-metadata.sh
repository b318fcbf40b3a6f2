#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: validate-metadata.sh VERSION DESKTOP_ENTRY METAINFO MAN_PAGE...
# Fails on any word from desktop-file-validate, on any AppStream issue down to pedantic hints, on
# any groff warning in a man page, and when the metadata's newest release or a man page's header
# does not name VERSION.
set -u
version=$1 desktop=$2 metainfo=$3
shift 3
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

for tool in desktop-file-validate appstreamcli groff; do
    command -v "$tool" >/dev/null || fail "$tool is missing (Debian packages desktop-file-utils, appstream, groff-base)"
done
((failed)) && exit 1

report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed"
[[ -z $report ]] || fail "desktop-file-validate: $report"

# Screenshot addresses cannot be reached from a build machine, so the check stays off the network.
report=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) || fail "appstreamcli failed"
if grep -q '^[EWIP]:' <<<"$report"; then
    fail "appstreamcli: $report"
fi

newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1 | cut -d'"' -f2)
[[ $newest == "$version" ]] || fail "newest release in $metainfo is '$newest', the project is $version"

for page in "$@"; do
    report=$(LC_ALL=C.UTF-8 groff -man -ww -z "$page" 2>&1)
    [[ -z $report ]] || fail "groff on $page: $report"
    grep "^\.TH " "$page" | grep -q "\"Morvanta $version\"" || fail "$page does not name Morvanta $version"
done

exit $failed
