#!/usr/bin/env bash
# Fails when a C++ source or header differs from the form the root .clang-format gives it,
# and lists each file with clang-format's own account of where.
#   check-format.sh          check every source
#   check-format.sh --fix    reformat them in place instead
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -d '' files < <(find app bench fuzz src tests tools -type f \( -name '*.cpp' -o -name '*.h' \) \
    -print0 | sort -z)
if [ "${1:-}" = --fix ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}"; then
    echo "check-format: the files above are out of form; run scripts/check-format.sh --fix" >&2
    exit 1
fi
echo "check-format: ${#files[@]} files in form"
