#!/usr/bin/env bash
# Installs the Debian packages that Vantorel needs, only those that are missing.
#   setup-deps.sh build   what building and running the program needs
#   setup-deps.sh test    that, plus what the test suite and its independent readers need
set -euo pipefail

build_pkgs=(cmake g++ make pkg-config qt6-base-dev qt6-svg-dev libzip-dev zlib1g-dev
            fonts-liberation libgl-dev)
test_pkgs=(googletest libgtest-dev libgmock-dev libbenchmark-dev clang clang-format
           libclang-rt-14-dev xvfb xauth imagemagick libreoffice-writer-nogui pandoc poppler-utils
           python3-docx)

want=("${build_pkgs[@]}")
[ "${1:-build}" = test ] && want+=("${test_pkgs[@]}")

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
