#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Usage: install-with-spaces.sh CMAKE BUILD_DIR WORK_DIR APP_ID WITH_WINDOW [WORKSHOP_ID WITH_WORKSHOP]
# Installs under a prefix with spaces: every file where the desktop looks, the installed metadata
# agreeing (appstreamcli validate-tree), and the installed morvanta-table runs from there.
set -u
cmake=$1 build=$2 work=$3 app_id=$4 with_window=$5 workshop_id=${6:-} with_workshop=${7:-0}
prefix="$work/with space/pre fix"
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}

rm -rf "$work/with space"
"$cmake" --install "$build" --prefix "$prefix" >/dev/null || {
    echo "FAIL: cmake --install to '$prefix'" >&2
    exit 1
}

expected=(bin/morvanta-table share/man/man1/morvanta-table.1.gz share/doc/morvanta/copyright
    share/doc/morvanta/changelog.gz share/bash-completion/completions/morvanta-table)
if [[ $with_window == 1 ]]; then
    expected+=(bin/morvanta share/man/man1/morvanta.1.gz
        "share/applications/$app_id.desktop" "share/metainfo/$app_id.metainfo.xml"
        "share/icons/hicolor/16x16/apps/$app_id.png" "share/icons/hicolor/32x32/apps/$app_id.png")
fi
if [[ $with_workshop == 1 ]]; then
    expected+=(bin/morvanta-workshop share/man/man1/morvanta-workshop.1.gz
        "share/applications/$workshop_id.desktop" "share/metainfo/$workshop_id.metainfo.xml"
        "share/icons/hicolor/16x16/apps/$workshop_id.png" "share/icons/hicolor/32x32/apps/$workshop_id.png"
        "share/icons/hicolor/48x48/apps/$workshop_id.png" "share/icons/hicolor/scalable/apps/$workshop_id.svg"
        "share/mime/packages/$workshop_id.xml")
fi
for file in "${expected[@]}"; do
    [[ -f $prefix/$file ]] || fail "not installed: $file"
done

if [[ $with_window == 1 ]]; then
    report=$(appstreamcli validate-tree --no-net "$prefix" 2>&1)
    status=$?
    if ((status != 0)) || grep -q '^ *[EWIP]:' <<<"$report"; then
        fail "appstreamcli validate-tree --no-net '$prefix': $report"
    fi
fi

printf -- '---------------   7 Holes   ---------------\r\n  0\r\n 51.42857\r\n102.85714\r\n154.28571\r\n205.71428\r\n257.14285\r\n308.57142\r\n\r\n' |
    cmp -s - <("$prefix/bin/morvanta-table" this 7) || fail "installed morvanta-table: not the table of this 7"

exit $failed
