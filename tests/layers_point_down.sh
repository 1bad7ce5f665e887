#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Layers point down, and no program reaches into another one: a quoted #include names a
# file of the including file's own folder or of one its row below allows. The folders
# marked no-Qt include no Qt header.
#   layers_point_down.sh SOURCE_DIR
set -u
cd "$1" || exit 2

# The libraries every program may use.
libs='platform analysis audio mixer practice'
# A folder, then what its files may include besides their own folder: folders, or single
# files where one borrows a file. A file's row is the longest folder holding it; a file
# under no row fails, so that a new folder gets a row.
rules="
platform
analysis        no-Qt platform
audio           no-Qt platform analysis
mixer           no-Qt platform
practice        no-Qt platform analysis audio
practice/exercise no-Qt platform analysis audio practice
practice/delay  no-Qt platform analysis audio practice
app             $libs
tools/capture   $libs
tools/demo      $libs
tools/measure   $libs
tools/notes     $libs
tools/picture   $libs
tools/pitch     $libs tools/notes/QtNoteChart.h
tools/playdelay $libs
tools/snapshot  $libs app
"
# practice/PitchListener stamps with the latency record's clock, and tessmar-pitch's trace
# draws its note labels with tessmar-notes' chart; tools/snapshot shows the windows.

dirs=
for d in $(printf '%s\n' "$rules" | awk 'NF { sub("/.*", "", $1); print $1 }' | sort -u); do
    [ -d "$d" ] && dirs="$dirs $d"
done
[ -n "$dirs" ] || { echo "no source folders under $1" >&2; exit 2; }

{
    printf '%s\n--\n' "$rules"
    # shellcheck disable=SC2086
    find $dirs -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.hpp' -o -name '*.cc' \) \
        -exec grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' /dev/null {} +
} | awk '
    !files && $0 == "--" { files = 1; next }
    !files {
        if (split($0, w, " ") == 0) next
        rows[w[1]] = ""
        for (k = 2; k in w; ++k) {
            if (w[k] == "no-Qt") noqt[w[1]] = 1
            else rows[w[1]] = rows[w[1]] " " w[k]
        }
        next
    }
    {
        i = index($0, ":"); file = substr($0, 1, i - 1); rest = substr($0, i + 1)
        i = index(rest, ":"); where = file ":" substr(rest, 1, i - 1); text = substr(rest, i + 1)
        row = ""
        for (r in rows)
            if (index(file, r "/") == 1 && length(r) > length(row)) row = r
        if (row == "") { print where ": no row in the table for this folder"; bad = 1; next }
        if (text ~ /^[ \t]*#[ \t]*include[ \t]*</) {
            if ((row in noqt) && text ~ /<Q[A-Za-z]/) {
                print where ": a Qt header in Qt-free " row "/: " text; bad = 1
            }
            next
        }
        path = text; sub(/^[^"]*"/, "", path); sub(/".*/, "", path)
        n = split(row " " rows[row], allowed, " ")
        ok = 0
        for (k = 1; k <= n; ++k)
            if (path == allowed[k] || index(path, allowed[k] "/") == 1) ok = 1
        if (!ok) { print where ": includes \"" path "\", which " row "/ may not"; bad = 1 }
    }
    END { exit bad }
' >&2
