#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The WAV writer as an ordinary user: a file that user may not write is refused and kept,
# even in a folder where it could rename another file over it; the user's own file is
# replaced. Root may write anything, so the tool runs as "nobody" through setpriv.
# Usage: unwritable_file_test.sh TESSMAR_DEMO
set -euo pipefail
demo=$(realpath "$1")
if [ "$(id -u)" -ne 0 ] || ! id nobody >/dev/null 2>&1; then
    echo "skipped: needs root to run the writer as nobody"
    exit 77
fi
work=$(mktemp -d /tmp/tessmar-unwritable-XXXXXX)
trap 'rm -rf "$work"' EXIT
chmod 777 "$work" # anyone may create and rename here; no sticky bit to stop the rename
as_nobody() {
    setpriv --reuid=nobody --regid=nogroup --clear-groups -- "$@"
}
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

printf 'the earlier take' > "$work/theirs.wav"
chmod 644 "$work/theirs.wav" # root's file, readable by all, writable by root only
if as_nobody "$demo" "$work/theirs.wav" 1 2> "$work/err"; then
    fail "another user's read-only file was replaced"
fi
grep -q "keine Berechtigung" "$work/err" || fail "reason not told in German: $(cat "$work/err")"
[ "$(cat "$work/theirs.wav")" = "the earlier take" ] || fail "the file was changed"
[ "$(stat -c %U "$work/theirs.wav")" = root ] || fail "the file changed hands"
[ "$(ls -A "$work" | wc -l)" -eq 2 ] || fail "leftovers: $(ls -A "$work")"

as_nobody touch "$work/own.wav"
as_nobody chmod 444 "$work/own.wav" # the user's own, but read-only
if as_nobody "$demo" "$work/own.wav" 1 2> "$work/err"; then
    fail "a read-only file was replaced"
fi
[ ! -s "$work/own.wav" ] || fail "the read-only file was written"

as_nobody chmod 644 "$work/own.wav"
as_nobody "$demo" "$work/own.wav" 1 || fail "the user's own file was not replaced"
[ "$(stat -c %s "$work/own.wav")" -eq $((44 + 44100)) ] || fail "wrong size"
echo "ok"
