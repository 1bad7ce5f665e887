// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/FileNameLock.h"

#include "platform/files/PrivateFolder.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

namespace tessmar {
namespace {

// 64-bit FNV-1a: the name of a lock file must be short, whatever the path's length.
std::uint64_t Hash(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : text) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    return hash;
}

// The same file however it is spelled, existing or not yet.
std::string CanonicalPath(const std::string& fileName) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::weakly_canonical(fileName, error);
    if (error) {
        path = std::filesystem::absolute(fileName, error).lexically_normal();
    }
    return error ? fileName : path.string();
}

} // namespace

FileNameLock::FileNameLock(std::string folder) : folder_(std::move(folder)) {}

std::string FileNameLock::RuntimeFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime && PrivateFolder::Check(runtime)) {
        return runtime;
    }
    // Made as the session makes the runtime folder: the user's alone.
    const std::string folder = PrivateFolder::InTemp(PrivateFolder::TempFolder());
    return PrivateFolder::Make(folder) ? folder : std::string();
}

FileNameLock::Result FileNameLock::Acquire(const std::string& fileName) {
    if (folder_.empty()) {
        Release();
        return Result::Unavailable;
    }
    char key[40];
    std::snprintf(key, sizeof key, "tessmar-%016llx.lock",
                  static_cast<unsigned long long>(Hash(CanonicalPath(fileName))));
    if (fd_ && key == key_) {
        return Result::Held;
    }
    Release();
    // Checked once and held open: the lock files are made in the folder that was checked,
    // whatever is put at its name later.
    if (!folderFd_) {
        folderFd_ = PrivateFolder::Open(folder_, true);
    }
    UniqueFd fd(
        folderFd_ ? ::openat(folderFd_.get(), key, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600)
                  : -1);
    if (!fd) {
        return Result::Unavailable;
    }
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
        return errno == EWOULDBLOCK ? Result::TakenByOther : Result::Unavailable;
    }
    fd_ = std::move(fd);
    key_ = key;
    return Result::Held;
}

void FileNameLock::Release() {
    fd_ = UniqueFd(); // closing the file ends its lock; the file stays for the next take
    key_.clear();
}

} // namespace tessmar
