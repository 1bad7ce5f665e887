// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/system/RegularFile.h"

#include "platform/system/SystemErrorText.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace tessmar {

UniqueFd OpenRegularFile(const std::string& path, int& error) {
    error = 0;
    // O_NONBLOCK: opening a FIFO for reading otherwise waits for a writer, for good.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd) {
        error = errno;
        return {};
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        error = errno;
        return {};
    }
    if (!S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? EISDIR : kErrNotRegularFile;
        return {};
    }
    // Reads of a regular file never wait anyway; the flag goes for what reads it later.
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        error = errno;
        return {};
    }
    return fd;
}

} // namespace tessmar
