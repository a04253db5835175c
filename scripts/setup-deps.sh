#!/usr/bin/env bash
# Installs the Debian packages that Vantorel needs, only those that are missing.
#   setup-deps.sh build     what building and running the program needs
#   setup-deps.sh package   that, plus what making the Debian package needs
#   setup-deps.sh test      all that, plus what the test suite, its independent readers and the
#                           package's checks need
set -euo pipefail

# The fonts are files the layout loads by path: Liberation for the bill's own fonts, Noto for
# the scripts and emoji Liberation lacks (names are typed in any of them).
build_pkgs=(cmake g++ make pkg-config qt6-base-dev qt6-base-private-dev qt6-svg-dev libzip-dev zlib1g-dev
            fonts-liberation fonts-noto-core fonts-noto-cjk fonts-noto-color-emoji libgl-dev)
# CPack finds the package's library dependencies with dpkg-shlibdeps, and its binaries with file.
package_pkgs=(dpkg-dev file)
test_pkgs=(googletest libgtest-dev libgmock-dev libbenchmark-dev clang clang-format
           libclang-rt-14-dev xvfb xauth openbox weston qt6-wayland imagemagick
           libreoffice-writer-nogui pandoc poppler-utils python3-docx
           lintian desktop-file-utils appstream man-db bash-completion unzip)

want=("${build_pkgs[@]}")
case "${1:-build}" in
build) ;;
package) want+=("${package_pkgs[@]}") ;;
test) want+=("${package_pkgs[@]}" "${test_pkgs[@]}") ;;
*) echo "usage: setup-deps.sh [build|package|test]" >&2; exit 2 ;;
esac

missing=()
for p in "${want[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "setup-deps: these packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
fi
echo "setup-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
