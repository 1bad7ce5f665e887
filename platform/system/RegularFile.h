// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/system/UniqueFd.h"

#include <string>

namespace tessmar {

// Opens path for reading when it names a regular file, and never waits on the way: a FIFO
// without a writer, a terminal or a device is refused as kErrNotRegularFile, not opened and
// waited for. The check is made on the opened descriptor, so the path can't be swapped
// between check and use. On failure the descriptor is empty and error holds the errno
// value (or kErrNotRegularFile) for SystemErrorText.
UniqueFd OpenRegularFile(const std::string& path, int& error);

} // namespace tessmar
