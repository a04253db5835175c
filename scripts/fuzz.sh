#!/usr/bin/env bash
# Runs one fuzz target for a long session, where the tests run each for a bounded number of
# inputs only:
#   fuzz.sh TARGET [MINUTES]      (30 minutes unless told)
# TARGET: open_package_fuzz, settings_text_fuzz, sale_record_fuzz or batch_line_fuzz, built in
# build/sanitize (bash scripts/test.sh builds it). The session runs at the lowest priority, in
# one process, so that it leaves the machine to others; it grows a corpus of its own in
# build/fuzz/TARGET, kept from one session to the next, and starts from it, the target's own
# seeds and fuzz/seeds/TARGET. An input that breaks a property is written to build/fuzz/TARGET
# as crash-<hash>; once the fault is mended, it belongs in fuzz/seeds/TARGET, where every
# test run tries it again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
target=${1:?usage: fuzz.sh TARGET [MINUTES]}
minutes=${2:-30}
case $target in
open_package_fuzz) max_len=16384 ;;
settings_text_fuzz | sale_record_fuzz) max_len=4096 ;;
batch_line_fuzz) max_len=8192 ;;
*)
    echo "fuzz.sh: there is no fuzz target $target" >&2
    exit 2
    ;;
esac
# With gcc as the compiler, the targets are built by clang in a sub-build.
fuzzer=$root/build/sanitize/fuzz/clang/$target
[ -x "$fuzzer" ] || fuzzer=$root/build/sanitize/fuzz/$target
if [ ! -x "$fuzzer" ]; then
    echo "fuzz.sh: $target is not built; build build/sanitize first (bash scripts/test.sh)" >&2
    exit 2
fi
work=$root/build/fuzz/$target
mkdir -p "$work/corpus"
VANTOREL_FUZZ_WRITE_SEEDS=$work/seeds "$fuzzer"
kept=()
[ -d "$root/fuzz/seeds/$target" ] && kept=("$root/fuzz/seeds/$target")
cd "$work"
exec nice -n 19 env ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "$fuzzer" -max_len="$max_len" -max_total_time=$((minutes * 60)) -rss_limit_mb=2048 \
    -print_final_stats=1 corpus seeds "${kept[@]}"
