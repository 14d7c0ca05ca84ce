#!/usr/bin/env bash
# Runs test cases that need file permissions to bind, as an unprivileged
# user when the tests run as root (CI does): the superuser reads and writes
# every file, so there those cases skip themselves.  As root the program runs
# as nobody (setpriv, from util-linux) with HOME, the XDG folders and TMPDIR
# in HOME, a folder it owns; as any other user it runs as it is.  A case
# that still skips fails the run: these cases must be executed.
#
#   unprivileged.sh HOME PROGRAM [CASE...]
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 HOME PROGRAM [CASE...]" >&2; exit 2; }
home=$1 program=$2
shift 2
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache \
       XDG_DATA_HOME=$home/data TMPDIR=$home/tmp
mkdir -p "$TMPDIR"
run=("$program" "$@")
runas=$(id -un)
if [ "$(id -u)" -eq 0 ]; then
    user=nobody group=nogroup
    getent group "$group" >/dev/null || group=nobody
    export XDG_RUNTIME_DIR=$home/runtime
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 0700 "$XDG_RUNTIME_DIR"
    chown -R "$user:$group" "$home"
    as_user=(setpriv --reuid="$user" --regid="$group" --clear-groups)
    # Every folder above the program must let others through.
    if ! "${as_user[@]}" test -x "$program"; then
        echo "FAIL: $user cannot run $program; the modes along its path:" >&2
        namei -m "$program" >&2 || true
        exit 1
    fi
    run=("${as_user[@]}" "${run[@]}")
    runas=$user
fi
status=0
out=$("${run[@]}" 2>&1) || status=$?
printf '%s\n' "$out"
[ "$status" -eq 0 ] || exit "$status"
if grep -q '^SKIP ' <<<"$out"; then
    echo "FAIL: a case was skipped as $runas; it must be executed" >&2
    exit 1
fi
