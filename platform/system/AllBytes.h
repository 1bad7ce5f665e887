// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <sys/types.h>

namespace tessmar {

// All size bytes or a failure: a call cut short by a signal is made again, a short one
// goes on where it stopped. False with errno set otherwise; EIO for an end of file before
// the last byte, or a write that takes nothing.
bool WriteAll(int fd, const void* data, std::size_t size); // at the file's position
bool WriteAllAt(int fd, const void* data, std::size_t size, off_t offset);
bool ReadAllAt(int fd, void* data, std::size_t size, off_t offset);

} // namespace tessmar
