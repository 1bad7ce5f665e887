// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files/OwnLinks.h"

#include "platform/system/SystemErrorText.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace tessmar {

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool SharedFolder(const std::string& folder) {
    struct stat st {};
    return ::stat(folder.c_str(), &st) != 0 || st.st_uid != ::geteuid() ||
           (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
}

int ResolveOwnLinks(std::string& path) {
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            return errno == ENOENT ? 0 : errno;
        }
        if (!S_ISLNK(st.st_mode)) {
            return 0;
        }
        if (hops == 40) {
            return ELOOP;
        }
        if (st.st_uid != ::geteuid()) {
            return kErrForeignLink;
        }
        char next[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), next, sizeof next);
        if (length < 0 || length == ssize_t(sizeof next)) {
            return length < 0 ? errno : ENAMETOOLONG;
        }
        const std::string link(next, std::size_t(length));
        path = link.front() == '/' ? link : FolderOf(path) + "/" + link;
    }
}

} // namespace tessmar
