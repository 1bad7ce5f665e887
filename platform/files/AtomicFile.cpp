#include "platform/files/AtomicFile.h"

#include "platform/system/SystemErrorText.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace tessmar {
namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string TempNameFor(const std::string& target, unsigned tag) {
    const auto slash = target.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    return folder + "." + base + ".tmp-" + std::to_string(tag);
}

// Durability of the rename itself; a folder that can't be synced does not undo it.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {}

AtomicFile::~AtomicFile() {
    Discard();
}

bool AtomicFile::Open() {
    if (target_.empty()) {
        return Fail(ENOENT);
    }
    // Writing through a symbolic link replaces the file it points to, not the link.
    std::error_code ec;
    if (std::filesystem::is_symlink(target_, ec)) {
        const auto resolved = std::filesystem::weakly_canonical(target_, ec);
        if (ec) {
            return Fail(ec.value());
        }
        target_ = resolved.string();
    }
    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) {
        return Fail(S_ISDIR(existing.st_mode) ? EISDIR : kErrNotRegularFile);
    }
    if (exists) {
        // The rename needs only the folder's permission; a file the caller may not write
        // (read-only, immutable, on a read-only mount) is refused and left as it is.
        const int probe = ::open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (probe < 0) {
            return Fail(errno);
        }
        ::close(probe);
    }

    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp_ = TempNameFor(target_, random());
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0 || errno != EEXIST) {
            break;
        }
    }
    if (fd_ < 0) {
        temp_.clear();
        return Fail(errno);
    }
    if (exists) {
        // The replacement keeps the permissions and, where allowed, the owner of the old file.
        ::fchmod(fd_, existing.st_mode & 07777);
        if (::fchown(fd_, existing.st_uid, existing.st_gid) != 0) {
            // Only root may give a file away; the file then stays the writer's own.
        }
    }
    return true;
}

bool AtomicFile::Write(const void* data, std::size_t size) {
    if (fd_ < 0) {
        return Fail(error_ ? error_ : EBADF);
    }
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd_, p, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Fail(errno);
        }
        p += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
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
    if (::rename(temp_.c_str(), target_.c_str()) != 0) {
        return Fail(errno);
    }
    temp_.clear();
    SyncFolder(FolderOf(target_));
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

} // namespace tessmar
