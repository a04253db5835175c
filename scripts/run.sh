#!/usr/bin/env bash
# Builds Vantorel (installing what is missing) and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup-deps.sh" build
cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOREL_TESTS=OFF >/dev/null
cmake --build "$root/build/release" -j"$(nproc)"
exec "$root/build/release/app/vantorel" "$@"
