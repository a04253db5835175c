#!/usr/bin/env bash
# Runs a command on an X server of its own (Xvfb, one screen of the given size) under the
# openbox window manager, with QT_QPA_PLATFORM=xcb: windows get real frames, placed by a real
# window manager, as on a desktop.
#   with-openbox.sh WIDTHxHEIGHT COMMAND [ARGUMENTS...]
# Exit status 77 (skipped) when Xvfb or openbox is missing; otherwise the command's. The
# server and the window manager are stopped however the command ends.
set -euo pipefail
size=$1
shift
for program in Xvfb openbox; do
    if ! command -v "$program" >/dev/null; then
        echo "with-openbox: $program is missing (scripts/setup-deps.sh test installs it); skipped" >&2
        exit 77
    fi
done
scratch=$(mktemp -d "${TMPDIR:-/tmp}/vantorel-openbox.XXXXXX")
pids=()
stop() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    rm -rf "$scratch"
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
mkfifo "$scratch/display" "$scratch/ready"

# Each tells when it is ready through a pipe of its own: Xvfb with the display number it chose (a free
# one, so that runs side by side never meet), openbox by its start-up command.
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$scratch/display" \
    >"$scratch/xvfb.log" 2>&1 &
pids=("$!")
failed() {
    echo "with-openbox: $1 did not start:" >&2
    cat "$scratch/$1.log" >&2
    exit 1
}
read -r display <"$scratch/display" || failed xvfb
export DISPLAY=":$display"
# openbox holds the pipe open too, so that its end, should it fail, ends the wait.
openbox --sm-disable --startup "sh -c 'echo >$scratch/ready'" 3>"$scratch/ready" \
    >"$scratch/openbox.log" 2>&1 &
pids=("$!" "${pids[@]}")
read -r _ <"$scratch/ready" || failed openbox

export QT_QPA_PLATFORM=xcb VANTOREL_TEST_PLATFORM=xcb
unset WAYLAND_DISPLAY
"$@"
