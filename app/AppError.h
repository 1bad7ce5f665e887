// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace tessmar {

// Application title: the program's name for the desktop and the caption of its messages.
inline constexpr const char* kApplicationTitle = "Tessmar";

// An error meant for the user: raised in an event handler, it ends that handler and its
// message (German, UTF-8) is shown in a message box.
class AppError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;

    // The message as shown: a full stop is appended when the last character has a higher
    // code than the full stop, as letters, digits and accented letters have.
    static std::string WithFullStop(std::string message);
};

} // namespace tessmar
