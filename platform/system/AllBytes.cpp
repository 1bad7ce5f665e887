// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/system/AllBytes.h"

#include <cerrno>
#include <unistd.h>

namespace tessmar {
namespace {

// transfer(done) moves what is left after the first done bytes, as write, pwrite or pread.
template <typename Transfer> bool All(std::size_t size, Transfer transfer) {
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = transfer(done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = EIO;
            }
            return false;
        }
        done += std::size_t(n);
    }
    return true;
}

} // namespace

bool WriteAll(int fd, const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    return All(size, [&](std::size_t done) { return ::write(fd, bytes + done, size - done); });
}

bool WriteAllAt(int fd, const void* data, std::size_t size, off_t offset) {
    const char* bytes = static_cast<const char*>(data);
    return All(size, [&](std::size_t done) {
        return ::pwrite(fd, bytes + done, size - done, offset + off_t(done));
    });
}

bool ReadAllAt(int fd, void* data, std::size_t size, off_t offset) {
    char* bytes = static_cast<char*>(data);
    return All(size, [&](std::size_t done) {
        return ::pread(fd, bytes + done, size - done, offset + off_t(done));
    });
}

} // namespace tessmar
