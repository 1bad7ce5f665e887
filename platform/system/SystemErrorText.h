// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tessmar {

// An error of our own beside the system's errno values: the path names something that is
// not a regular file (a device, a pipe, a socket).
inline constexpr int kErrNotRegularFile = -1;
// The path is a symbolic link of another user's, which is never followed to write.
inline constexpr int kErrForeignLink = -2;

// Why a file operation failed, in German, for messages to the user: the common errno
// values (and kErrNotRegularFile) in words; any other value by its number and the
// system's own text. Safe on any thread.
std::string SystemErrorText(int error);

} // namespace tessmar
