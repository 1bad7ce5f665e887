// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/notes/NoteLog.h"
#include "tools/notes/QtNoteChart.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    tessmar::QtNoteChart chart;
    return tessmar::RunNoteLog({argv + 1, argv + argc}, std::cout, std::cerr, &chart);
}
