# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash disable=SC2034,SC2154
# Sourced by test.sh and scripts/package.sh, with root set to the top of the source tree: sets
# release_flags to the CMake options of a release build with Debian's flags: its optimisation and
# hardening (fortified library calls, stack protector, relocations read-only and bound at start),
# e.g.
#   -DCMAKE_CXX_FLAGS=-Wdate-time -D_FORTIFY_SOURCE=2 -O2 -ffile-prefix-map=/src=. ...
#   -DCMAKE_UNITY_BUILD=ON
#   -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG
#   -DCMAKE_EXE_LINKER_FLAGS=-Wl,-z,relro -Wl,-z,now
# Both scripts configure with the same flags, so that the package can be made from the build the
# tests ran on without compiling anything again. dpkg-buildflags comes with dpkg-dev.

# -ffile-prefix-map names the folder dpkg-buildflags runs in: always the top of the tree, or the
# flags, and with them every object file, would change with the caller's folder. -g is left out:
# the package's programs are stripped, so debug information would only cost compile time.
command -v dpkg-buildflags >/dev/null || {
    echo "dpkg-buildflags is missing (Debian package dpkg-dev)" >&2
    exit 1
}
release_cxxflags=()
for flag in $(cd "$root" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CPPFLAGS) \
    $(cd "$root" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CXXFLAGS); do
    [[ $flag == -g ]] || release_cxxflags+=("$flag")
done
# Debian's optimisation (-O2) stands, where CMake's Release would add its -O3 after it. The files
# of each program are compiled in batches of eight (a unity build), which reads the standard, Qt
# and GoogleTest headers once a batch rather than once a file.
release_flags=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS=${release_cxxflags[*]}"
    -DCMAKE_UNITY_BUILD=ON
    -DCMAKE_CXX_FLAGS_RELEASE=-DNDEBUG
    "-DCMAKE_EXE_LINKER_FLAGS=$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get LDFLAGS)")
unset release_cxxflags flag
