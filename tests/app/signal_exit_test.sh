#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program itself in command-line mode, ended by signals: it must end every time, save
# the take (to the fallback file when its own can't be written) and say by its exit status
# whether the take is in its file. Usage: signal_exit_test.sh PATH_TO_TESSMAR
set -uo pipefail
tessmar=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/tessmar-signals-XXXXXX")
trap 'chattr -i "$work/immutable" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
mkdir -p "$work/config" "$work/runtime" "$work/tmp"
chmod 700 "$work/runtime"
export QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime
export TMPDIR=$work/tmp TESSMAR_MIXER=tessmar-test-no-mixer

fail() {
    echo "FAIL: $*"
    sed 's/^/    stderr: /' "$work/stderr"
    failures=$((failures + 1))
}

# hearing PID: waits (at most 30 s) until the program runs and holds or catches SIGINT. A
# SIGINT before that would be dropped by the kernel, not by the program: bash starts
# background jobs with SIGINT ignored, and a slow start under load outlasts short waits.
hearing() {
    local key value held caught
    for _ in $(seq 1500); do
        held=0 caught=0
        if [[ $(readlink "/proc/$1/exe") == "$tessmar" ]]; then
            while read -r key value; do
                case $key in SigBlk:) held=$value ;; SigCgt:) caught=$value ;; esac
            done 2>/dev/null <"/proc/$1/status" || return
        fi
        (((0x$held | 0x$caught) & 2)) && return
        kill -0 "$1" 2>/dev/null || return
        sleep 0.02
    done
}

# run WAIT SIGNALS -- COMMAND...: starts the command, sends each signal after WAIT seconds
# once it hears them, and waits for its end (at most 30 s: longer counts as hanging).
# Sets $status.
run() {
    local wait=$1 signals=$2
    shift 3
    "$@" 2>"$work/stderr" &
    local pid=$!
    hearing "$pid"
    sleep "$wait"
    for signal in $signals; do kill -s "$signal" "$pid" 2>/dev/null; done
    for _ in $(seq 300); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill -s KILL "$pid"
        wait "$pid"
        status=hung
        return
    fi
    wait "$pid"
    status=$?
}

# take TARGET SIGNALS [PREFIX...]: a demo take of at least a block, into TARGET; the wait
# grows when the program had not recorded yet (a slow start, as under the sanitizers).
take() {
    local target=$1 signals=$2
    shift 2
    for wait in 2 6 15; do
        rm -rf "$HOME" && mkdir -p "$HOME"
        run "$wait" "$signals" -- "$@" env TESSMAR_INPUT=demo "$tessmar" x "$target" 40
        grep -q "nichts aufgenommen" "$work/stderr" || return 0
    done
}

# A WAV file holding whole blocks of sound.
whole_take() {
    local size
    size=$(stat -c %s "$1" 2>/dev/null) || return 1
    [[ $size -gt 44 && $(((size - 44) % 4096)) -eq 0 ]]
}

export HOME=$work/home

# No recording device: the box about it is up when the signal comes.
run 3 INT -- env TESSMAR_INPUT=alsa:tessmar-no-such-device "$tessmar" x "$work/none.wav" 40
[[ $status == 1 ]] || fail "no device, SIGINT: exit status $status, not 1"
grep -q "Aufnahmegerät" "$work/stderr" || fail "no device: the reason is not said"
[[ ! -e $work/none.wav ]] || fail "no device: a file was written"

for signal in TERM HUP INT "TERM INT HUP"; do
    rm -f "$work/take.wav"
    take "$work/take.wav" "$signal"
    [[ $status == 0 ]] || fail "SIGNALS $signal: exit status $status, not 0"
    whole_take "$work/take.wav" || fail "SIGNALS $signal: no whole take in the file"
done

# Early: either the take is in its file, or the program says that nothing was recorded.
rm -f "$work/early.wav"
run 0.25 INT -- env TESSMAR_INPUT=demo "$tessmar" x "$work/early.wav" 40
if [[ $status == 0 ]]; then
    whole_take "$work/early.wav" || fail "SIGINT at 0.25 s: exit status 0 without the take"
elif [[ $status == 1 ]]; then
    grep -q "nichts aufgenommen" "$work/stderr" || fail "SIGINT at 0.25 s: status 1, no reason"
else
    fail "SIGINT at 0.25 s: exit status $status"
fi

# A rejected file name: the box about it is up when the signal comes.
run 3 TERM -- env TESSMAR_INPUT=demo "$tessmar" x "$work/[bad].wav" 40
[[ $status != hung ]] || fail "rejected name, SIGTERM: the program did not end"

# Files that can't be written: the take goes to the home folder, and that is said.
mkdir -p "$work/folder.wav"
expect_fallback() {
    local what=$1 folder=${2:-$HOME}
    [[ $status == 1 ]] || fail "$what: exit status $status, not 1"
    local saved
    saved=$(ls "$folder"/tessmar-*.wav 2>/dev/null | head -n 1)
    [[ -n $saved ]] && whole_take "$saved" || fail "$what: no fallback file in $folder"
    [[ -n $saved ]] && ! grep -qF "$saved" "$work/stderr" && fail "$what: not said where"
    rm -f "$folder"/tessmar-*.wav
}
long=$work/$(printf 'n%.0s' $(seq 5000)).wav
for target in "$work/missing/take.wav" /proc/tessmar-take.wav /dev/full "$work/folder.wav" "$long"; do
    take "$target" TERM
    expect_fallback "${target:0:60}"
done

# Without a usable home folder the take goes to the user's private folder in the
# temporary folder.
touch "$work/plain-file"
HOME=$work/plain-file/home take "$work/missing/take.wav" TERM 2>/dev/null
expect_fallback "no home folder" "$TMPDIR/tessmar-$(id -u)"

# As root: a read-only mount, a full file system and an immutable folder, each in a mount
# namespace of its own.
if [[ $(id -u) == 0 ]] && unshare -m true 2>/dev/null; then
    mkdir -p "$work/mnt"
    take "$work/mnt/take.wav" TERM unshare -m sh -c \
        "mount -t tmpfs -o ro,size=300k tmpfs '$work/mnt' && exec \"\$@\"" sh
    expect_fallback "read-only mount"
    take "$work/mnt/take.wav" TERM unshare -m sh -c \
        "mount -t tmpfs -o size=300k tmpfs '$work/mnt' &&
         (dd if=/dev/zero of='$work/mnt/filler' bs=1k count=298 2>/dev/null; true) &&
         exec \"\$@\"" sh
    expect_fallback "full file system"
    mkdir -p "$work/immutable"
    if chattr +i "$work/immutable" 2>/dev/null; then
        take "$work/immutable/take.wav" TERM
        expect_fallback "immutable folder"
        chattr -i "$work/immutable"
    else
        echo "immutable folder: skipped, the file system has no immutable flag"
    fi
else
    echo "read-only mount, full file system, immutable folder: skipped (needs root)"
fi

[[ $failures == 0 ]] && echo "all signal cases passed"
exit $((failures > 0))
