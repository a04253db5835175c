#!/usr/bin/env bash
# Builds the Debian package of Vantorel from the optimised build, building what changed
# first (and installing what is missing), and prints the package's path on standard output;
# everything else goes to standard error.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/release"
bash "$root/scripts/setup-deps.sh" package >&2
# The build run.sh makes and starts: the package holds the program as it is run there.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOREL_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" >&2
# The folders CPack makes keep the modes this mask gives, and a package's are 0755.
umask 022
rm -rf "$build/package"
(cd "$build" && cpack --config CPackConfig.cmake) >&2
packages=("$build"/package/*.deb)
if [ ${#packages[@]} -ne 1 ] || [ ! -f "${packages[0]}" ]; then
    echo "package: CPack left no single .deb in $build/package" >&2
    exit 1
fi
echo "${packages[0]}"
