// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/AtomicFile.h"

#include "platform/files/OwnLinks.h"
#include "platform/system/AllBytes.h"
#include "platform/system/SystemErrorText.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace tessmar {
namespace {

constexpr const char* kTempPrefix = ".tessmar-";

// Short, whatever the target's length (a 255-byte name must still work), and not to be
// guessed: 64 random bits.
std::string TempNameIn(const std::string& folder, std::random_device& random) {
    char name[32];
    std::snprintf(name, sizeof name, "%s%08x%08x", kTempPrefix, unsigned(random()),
                  unsigned(random()));
    return folder + "/" + name;
}

bool IsTempName(const char* name) {
    const std::size_t prefix = std::strlen(kTempPrefix);
    return std::strncmp(name, kTempPrefix, prefix) == 0 && std::strlen(name) == prefix + 16 &&
           std::strspn(name + prefix, "0123456789abcdef") == 16;
}

// Durability of the rename itself; a folder that can't be synced does not undo it.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// The process's file-creation mask, read without changing it (umask() would, for every
// thread, for a moment).
mode_t Umask() {
    if (std::FILE* status = std::fopen("/proc/self/status", "re")) {
        char line[128];
        unsigned mask = 0;
        while (std::fgets(line, sizeof line, status)) {
            if (std::sscanf(line, "Umask: %o", &mask) == 1) {
                std::fclose(status);
                return mode_t(mask);
            }
        }
        std::fclose(status);
    }
    return 022;
}

} // namespace

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {}

AtomicFile::~AtomicFile() {
    Discard();
}

bool AtomicFile::Open() {
    struct stat existing {};
    if (!CheckTarget(existing)) {
        return false;
    }
    const std::string folder = FolderOf(target_);
    const mode_t mode = SharedFolder(folder) ? 0600 : 0666;
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp_ = TempNameIn(folder, random);
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd_ >= 0 || errno != EEXIST) {
            break;
        }
    }
    if (fd_ < 0) {
        temp_.clear();
        return Fail(errno);
    }
    if (replaces_) {
        TakeOver(fd_, existing);
    }
    return true;
}

bool AtomicFile::CheckTarget(struct stat& existing) {
    if (target_.empty()) {
        return Fail(ENOENT);
    }
    // Writing through a link of one's own replaces the file it points to, not the link.
    if (const int refused = ResolveOwnLinks(target_); refused != 0) {
        return Fail(refused);
    }
    replaces_ = ::lstat(target_.c_str(), &existing) == 0;
    if (replaces_ && !S_ISREG(existing.st_mode)) {
        return Fail(S_ISDIR(existing.st_mode) ? EISDIR : kErrNotRegularFile);
    }
    if (replaces_) {
        // The rename needs only the folder's permission; a file the caller may not write
        // (read-only, immutable, on a read-only mount) is refused and left as it is.
        const int probe =
            ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (probe < 0) {
            return Fail(errno);
        }
        ::close(probe);
    }
    return true;
}

// The replacement keeps the permissions and, where allowed, the owner of the old file.
void AtomicFile::TakeOver(int fd, const struct stat& existing) {
    ::fchmod(fd, existing.st_mode & 07777);
    if (::fchown(fd, existing.st_uid, existing.st_gid) != 0) {
        // Only root may give a file away; the file then stays the writer's own.
    }
}

bool AtomicFile::Adopt(int folder, const std::string& name, int fd) {
    struct stat existing {};
    if (!CheckTarget(existing)) {
        return false;
    }
    if (replaces_) {
        TakeOver(fd, existing);
    } else {
        // As a new file is made: the user's alone in a shared folder, else as the umask says.
        ::fchmod(fd, SharedFolder(FolderOf(target_)) ? 0600 : 0666 & ~Umask());
    }
    if (::fsync(fd) != 0) {
        return Fail(errno);
    }
    if (!Publish(folder, name.c_str())) {
        return Fail(errno);
    }
    ::fsync(folder);
    SyncFolder(FolderOf(target_));
    return true;
}

bool AtomicFile::Write(const void* data, std::size_t size) {
    if (fd_ < 0) {
        return Fail(error_ ? error_ : EBADF);
    }
    return WriteAll(fd_, data, size) || Fail(errno);
}

bool AtomicFile::Commit() {
    if (fd_ < 0) {
        return Fail(error_ ? error_ : EBADF);
    }
    if (::fsync(fd_) != 0) {
        return Fail(errno);
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        return Fail(errno);
    }
    if (!Publish(AT_FDCWD, temp_.c_str())) {
        return Fail(errno);
    }
    temp_.clear();
    SyncFolder(FolderOf(target_));
    return true;
}

// A new file never replaces what appeared at its name since Open: a link planted there
// stays as it is, and so does another take.
bool AtomicFile::Publish(int folder, const char* name) {
    if (replaces_) {
        return ::renameat(folder, name, AT_FDCWD, target_.c_str()) == 0;
    }
    if (::renameat2(folder, name, AT_FDCWD, target_.c_str(), RENAME_NOREPLACE) == 0) {
        return true;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        return false;
    }
    // A file system without the flag: a hard link never replaces either.
    if (::linkat(folder, name, AT_FDCWD, target_.c_str(), 0) != 0) {
        return false;
    }
    ::unlinkat(folder, name, 0);
    return true;
}

bool AtomicFile::Fail(int error) {
    if (error_ == 0) {
        error_ = error;
    }
    Discard();
    return false;
}

void AtomicFile::Discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

int AtomicFile::RemoveLeftovers(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    DIR* dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!dir) {
        if (fd >= 0) {
            ::close(fd);
        }
        return 0;
    }
    const std::time_t before = std::time(nullptr) - kLeftoverSeconds;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        struct stat st {};
        // Relative to the folder opened: what is looked at is what is removed.
        if (IsTempName(entry->d_name) &&
            ::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::geteuid() && st.st_mtime < before &&
            ::unlinkat(fd, entry->d_name, 0) == 0) {
            ++removed;
        }
    }
    ::closedir(dir);
    return removed;
}

} // namespace tessmar
