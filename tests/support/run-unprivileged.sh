#!/bin/sh
# Runs a test program as an ordinary user: permissions do not bind the superuser, so tests of
# unwritable files and folders skip under root. Under root the program runs as the user
# vantorel-test (scripts/test.sh creates it); under any other user it runs as that user.
# Exit status 77 (skipped) when run as root and the user does not exist.
#   run-unprivileged.sh PROGRAM [ARGUMENT...]
set -eu
user=vantorel-test
if [ "$(id -u)" != 0 ]; then
    exec "$@"
fi
if ! uid=$(id -u "$user" 2>/dev/null); then
    echo "run-unprivileged: no user $user (scripts/test.sh creates it); skipped" >&2
    exit 77
fi
gid=$(id -g "$user")
as_user() {
    setpriv --reuid="$uid" --regid="$gid" --clear-groups -- "$@"
}

scratch=$(mktemp -d)
trap 'rm -rf -- "$scratch"' EXIT
chmod 0755 "$scratch"
mkdir -m 0700 "$scratch/home" "$scratch/tmp"
chown "$uid:$gid" "$scratch/home" "$scratch/tmp"

program=$1
shift
# A build folder the user cannot reach (under /root, say): run a copy of the program.
if ! as_user test -x "$program"; then
    cp -- "$program" "$scratch/program"
    chmod 0755 "$scratch/program"
    program=$scratch/program
fi
# Run in a child (not exec) so that the scratch folder is removed afterwards.
status=0
HOME=$scratch/home TMPDIR=$scratch/tmp XDG_CONFIG_HOME= XDG_RUNTIME_DIR= \
    as_user "$program" "$@" >"$scratch/output" 2>&1 || status=$?
cat "$scratch/output"
# These tests exist to run here; one that still skips, or none at all, is a failure.
if [ "$status" = 0 ] && grep -q -e '^\[  SKIPPED \]' -e '^\[  PASSED  \] 0 tests' "$scratch/output"; then
    echo "run-unprivileged: tests skipped or none selected as $user" >&2
    status=1
fi
exit "$status"
