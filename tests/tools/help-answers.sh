#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The programs' --help and --version answer on standard output with status 0, without a
# display. Usage: help-answers.sh TESSMAR TESSMAR-DEMO TESSMAR-CAPTURE VERSION [TESSMAR-PITCH]
set -u
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
status=0
expect() { # expected start of the output, then the command
    start=$1
    shift
    if ! out=$("$@" 2>/dev/null); then
        echo "FAIL: $* ended with an error" >&2
        status=1
    fi
    case $out in
    "$start"*) ;;
    *)
        echo "FAIL: $* printed \"$out\"" >&2
        status=1
        ;;
    esac
}
expect "Tessmar $4" "$1" --version
[ "$("$1" --version)" = "Tessmar $4" ] || { echo "FAIL: more than the version" >&2; status=1; }
expect "Aufruf: tessmar
" "$1" --help
expect "Aufruf: tessmar-demo " "$2" --help
expect "Aufruf: tessmar-capture " "$3" --help
if [ $# -ge 5 ]; then
    expect "Aufruf: tessmar-pitch " "$5" --help
    expect "tessmar-pitch $4" "$5" --version
fi
# A closed standard output is a failure, not success.
for program in "$1" ${5:+"$5"}; do
    if "$program" --help >/dev/full 2>/dev/null; then
        echo "FAIL: $program --help into a full disk ended with status 0" >&2
        status=1
    fi
done
exit $status
