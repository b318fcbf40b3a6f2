#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: validate-metadata.sh VERSION DESKTOP_ENTRY METAINFO CHANGELOG COPYRIGHT MAN_PAGE...
# Fails on any word from desktop-file-validate, AppStream (down to pedantic hints) or groff, on a
# newest release, changelog entry or man page header not of VERSION (a file left unconfigured among
# them), and on a licence other than GPL-3.0-or-later in the AppStream and Debian terms.
set -u
version=$1 desktop=$2 metainfo=$3 changelog=$4 copyright=$5
shift 5
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate failed"
[[ -z $report ]] || fail "desktop-file-validate: $report"

# Screenshot addresses cannot be reached from a build machine, so the check stays off the network.
report=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) || fail "appstreamcli failed"
if grep -q '^[EWIP]:' <<<"$report"; then
    fail "appstreamcli: $report"
fi

element() {
    grep -o "<$1>[^<]*</$1>" "$metainfo" | head -n 1 | sed 's/<[^>]*>//g'
}
newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n 1 | cut -d'"' -f2)
[[ $newest == "$version" ]] || fail "newest release in $metainfo is '$newest', the project is $version"
[[ $(element project_license) == GPL-3.0-or-later ]] ||
    fail "project_license in $metainfo is '$(element project_license)', not GPL-3.0-or-later"

head -n 1 "$changelog" | grep -q "^morvanta ($version) " ||
    fail "the newest entry of $changelog is not version $version: $(head -n 1 "$changelog")"

# Debian's machine-readable format: the files at large under GPL-3+, each licence spelled out.
copyright_report=$(awk '
    /^$/ { files = "" }
    /^Files:/ { files = $2 }
    /^License:/ && files != "" { used[$2] = 1; if (files == "*") whole = $2 }
    /^License:/ && files == "" { spelled[$2] = 1 }
    END {
        if (whole != "GPL-3+") print "Files: * is under " (whole == "" ? "no licence" : whole) ", not GPL-3+"
        for (name in used) if (!(name in spelled)) print "licence " name " is never spelled out"
    }' "$copyright")
[[ -z $copyright_report ]] || fail "$copyright: $copyright_report"

for page in "$@"; do
    report=$(LC_ALL=C.UTF-8 groff -man -ww -z "$page" 2>&1)
    [[ -z $report ]] || fail "groff on $page: $report"
    grep "^\.TH " "$page" | grep -q "\"Morvanta $version\"" || fail "$page does not name Morvanta $version"
done

exit $failed
