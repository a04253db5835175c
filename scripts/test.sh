#!/usr/bin/env bash
# Builds Vantorel with its tests (installing what is missing) and runs every test:
# once in an optimised build, once under AddressSanitizer and UndefinedBehaviorSanitizer, and
# the window tests once more on Wayland; then builds the Debian package and checks it,
# installed and removed again (check-package.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/setup-deps.sh" test
# The form first: it takes seconds, and a build of misformatted sources is not worth waiting for.
bash "$root/scripts/check-format.sh"
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)
# Tests of unwritable files and folders skip under root; as root (CI), the tests labelled
# "unprivileged" run them again as this ordinary user (tests/support/run-unprivileged.sh).
if [ "$(id -u)" = 0 ] && ! id -u vantorel-test >/dev/null 2>&1; then
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin \
        vantorel-test
fi

cmake -S "$root" -B "$root/build/test" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build/test" -j"$jobs"
ctest --test-dir "$root/build/test" --output-on-failure -j"$jobs"

cmake -S "$root" -B "$root/build/sanitize" -DCMAKE_BUILD_TYPE=Debug -DVANTOREL_SANITIZE=ON \
      -DVANTOREL_BENCHMARKS=OFF >/dev/null
cmake --build "$root/build/sanitize" -j"$jobs"
# Interoperability tests drive external programs; their own memory is not ours to check.
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --test-dir "$root/build/sanitize" --output-on-failure -j"$jobs" -LE interop

# The window tests once more on Wayland, in a headless Weston of their own.
bash "$root/tests/support/with-weston.sh" \
    ctest --test-dir "$root/build/test" --output-on-failure -j"$jobs" -L windows

# The Debian package, from the optimised build: checked, installed, used and removed again.
bash "$root/scripts/check-package.sh"
