// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/window/HandlerGuard.h"

#include "app/AppError.h"

#include <cstdio>

namespace tessmar {

void HandlerGuard::Report(QWidget* parent, const std::string& message) noexcept {
    if (!toTerminal_) {
        try {
            messages_.ShowError(parent, kApplicationTitle, AppError::WithFullStop(message));
            return;
        } catch (...) {
            // Showing the message failed too (out of memory): the terminal is all that is left.
        }
    }
    std::fprintf(stderr, "%s: %s\n", kApplicationTitle, message.c_str());
}

} // namespace tessmar
