// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/PrivateFolder.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tessmar {
namespace {

UniqueFd Verified(const std::string& path, bool close) {
    // O_NOFOLLOW: the folder itself, never what a link at its name points to.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!fd) {
        return {};
    }
    struct stat st {};
    bool ok = ::fstat(fd.get(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
    if (ok && (st.st_mode & 077) != 0) {
        ok = close && ::fchmod(fd.get(), st.st_mode & 0700) == 0;
    }
    return ok ? std::move(fd) : UniqueFd();
}

} // namespace

bool PrivateFolder::Make(const std::string& path) {
    return bool(Open(path, true));
}

bool PrivateFolder::Check(const std::string& path) {
    return bool(Open(path, false));
}

UniqueFd PrivateFolder::Open(const std::string& path, bool make) {
    if (path.empty()) {
        return {};
    }
    if (make) {
        std::error_code ec;
        const std::filesystem::path parent = std::filesystem::path(path).parent_path();
        if (!parent.empty()) {
            std::filesystem::create_directories(parent, ec);
        }
        if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
            return {};
        }
    }
    return Verified(path, make);
}

std::string PrivateFolder::InTemp(const std::string& tmp) {
    return tmp + "/tessmar-" + std::to_string(::geteuid());
}

std::string PrivateFolder::TempFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp && *tmp == '/' ? tmp : "/tmp";
}

} // namespace tessmar
