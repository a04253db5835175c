#!/usr/bin/env bash
# Runs a command inside a headless Weston of its own, with QT_QPA_PLATFORM=wayland (and
# VANTOREL_TEST_PLATFORM=wayland for the test programs, whose ctest entries pin offscreen):
#   with-weston.sh COMMAND [ARGUMENTS...]
# The compositor gets a private runtime folder and socket, so that runs beside it (another
# engineer's, a desktop session's) are never touched, and it is stopped however the command
# ends. The command's exit status is the script's.
set -euo pipefail
if ! command -v weston >/dev/null; then
    echo "with-weston: weston is missing (scripts/setup-deps.sh test installs it)" >&2
    exit 1
fi
runtime=$(mktemp -d "${TMPDIR:-/tmp}/vantorel-weston.XXXXXX")
chmod 700 "$runtime"
socket=wayland-vantorel
weston_pid=
stop() {
    [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
    rm -rf "$runtime"
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
# Its helper clients' complaints when it stops go to its log with its own words.
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket="$socket" \
    --idle-time=0 --no-config >"$runtime/weston.log" 2>&1 &
weston_pid=$!
# Weston tells no one when it is ready; its socket appearing is the sign. A compositor that
# exits first, or never gets there, fails the run with its log.
for _ in $(seq 600); do
    [ -S "$runtime/$socket" ] && break
    kill -0 "$weston_pid" 2>/dev/null || break
    sleep 0.05
done
if [ ! -S "$runtime/$socket" ]; then
    echo "with-weston: weston did not start:" >&2
    cat "$runtime/weston.log" >&2
    exit 1
fi
# A headless Weston has no seat: no keyboard, pointer or clipboard. Qt's Wayland text input
# then dereferences the missing seat as soon as a text box with the focus paints its caret;
# the compose input method, X11's own default, needs none.
export XDG_RUNTIME_DIR=$runtime WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland \
       VANTOREL_TEST_PLATFORM=wayland QT_IM_MODULE=compose
unset DISPLAY
"$@"
