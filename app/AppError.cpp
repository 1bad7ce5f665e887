// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AppError.h"

namespace tessmar {

std::string AppError::WithFullStop(std::string message) {
    // In UTF-8 the last byte of any non-ASCII character is above 0x7F, so comparing the
    // last byte gives the same answer as comparing the last character.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
        message += '.';
    }
    return message;
}

} // namespace tessmar
