#include "tools/notes/NoteLog.h"

#include <iostream>

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    return tessmar::RunNoteLog({argv + 1, argv + argc}, std::cout, std::cerr);
}
