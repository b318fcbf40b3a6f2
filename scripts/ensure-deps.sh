#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages that Morvanta needs and that this machine lacks.
# Usage: scripts/ensure-deps.sh run|test|package|ci
#   run      what building and starting the program takes
#   test     that, and what the tests need (a virtual display, the clipboard tool, a window
#            manager to frame the windows, MPFR, poppler's tools to read back the PDFs Morvanta
#            Workshop writes, the desktop's MIME database, xdg-mime and gio to open a job file as a
#            file manager does, Debian's hardening flags for the release build)
#   package  run's, and what making and checking the Debian package takes
#   ci       all of the above, clang and its sanitizer and fuzzer libraries (CI builds the
#            sanitizers' tests and the fuzzers with it) and Ninja
# Prints nothing when everything is there. Needs root (or sudo) only when something is missing.
set -euo pipefail

run=(g++ cmake make qt6-base-dev qt6-svg-dev qt6-wayland libqscintilla2-qt6-dev libxcb1-dev
    fonts-liberation)
test=(libgtest-dev libbenchmark-dev libmpfr-dev xvfb xauth xclip xdotool x11-utils openbox
    desktop-file-utils appstream groff-base poppler-utils shared-mime-info xdg-utils
    libfile-mimeinfo-perl libglib2.0-bin dpkg-dev)
package=(dpkg-dev file desktop-file-utils appstream shared-mime-info)
ci=(clang libclang-rt-14-dev ninja-build)

case "${1:-}" in
    run) wanted=("${run[@]}") ;;
    test) wanted=("${run[@]}" "${test[@]}") ;;
    package) wanted=("${run[@]}" "${package[@]}") ;;
    ci) wanted=("${run[@]}" "${test[@]}" "${package[@]}" "${ci[@]}") ;;
    *)
        echo "usage: $0 run|test|package|ci" >&2
        exit 2
        ;;
esac

missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ $status == "install ok installed" ]] || missing+=("$package")
done
((${#missing[@]})) || exit 0

sudo=()
if ((EUID != 0)); then
    command -v sudo >/dev/null || {
        echo "Morvanta needs these Debian packages; as root, run: apt-get install ${missing[*]}" >&2
        exit 1
    }
    sudo=(sudo)
fi
echo "Installing ${missing[*]}"
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
