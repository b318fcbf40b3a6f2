#!/bin/bash
# Builds the Debian package: scripts/package.sh [BUILD_DIR]
#
# Configures a Release build without tests or benchmarks in BUILD_DIR (default build-package at the
# top of the source tree), builds it and lets CPack make morvanta_VERSION_ARCH.deb there. The last
# line printed is the package's path. Missing build tools are installed with apt-get when run as
# root; otherwise the script names the packages to install.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$(realpath -m "${1:-$root/build-package}")

declare -A package_of=(
    [cmake]=cmake [g++]=g++ [make]=make [readelf]=binutils [file]=file
    [dpkg-shlibdeps]=dpkg-dev [gzip]=gzip
)
missing=()
for tool in "${!package_of[@]}"; do
    command -v "$tool" >/dev/null || missing+=("${package_of[$tool]}")
done
[[ -e /usr/lib/x86_64-linux-gnu/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake ||
    -n $(find /usr/lib -path '*cmake/Qt6Widgets/Qt6WidgetsConfig.cmake' -print -quit 2>/dev/null) ]] ||
    missing+=(qt6-base-dev)
if ((${#missing[@]})); then
    if ((EUID == 0)); then
        echo "package.sh: installing ${missing[*]}"
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    else
        echo "package.sh: missing build tools; run: sudo apt-get install ${missing[*]}" >&2
        exit 1
    fi
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DMORVANTA_BUILD_UI=ON \
    -DMORVANTA_BUILD_TESTS=OFF -DMORVANTA_BUILD_BENCH=OFF -DMORVANTA_BUILD_FUZZ=OFF
cmake --build "$build" --parallel "$(nproc)"

rm -f "$build"/morvanta_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/morvanta_*.deb)
[[ -f ${debs[0]} ]] || {
    echo "package.sh: CPack made no package in $build" >&2
    exit 1
}
echo "${debs[0]}"
