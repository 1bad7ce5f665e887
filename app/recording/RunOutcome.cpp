// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recording/RunOutcome.h"

#include "app/AppError.h"

#include <cstdio>

namespace tessmar {

void RunOutcome::Fail(const std::string& reason) {
    failed_ = true;
    Note(reason);
}

void RunOutcome::Note(const std::string& text) {
    const std::string line = AppError::WithFullStop(text);
    try {
        said_.push_back(line);
    } catch (...) {
        // Out of memory: the terminal still hears of it.
    }
    say_(line);
}

void RunOutcome::SayOnStandardError(const std::string& text) {
    std::fprintf(stderr, "tessmar: %s\n", text.c_str()); // the program's name, as Unix tools say it
    std::fflush(stderr);
}

} // namespace tessmar
