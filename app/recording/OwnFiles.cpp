// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recording/OwnFiles.h"

#include <sys/stat.h>

namespace tessmar {

void OwnFiles::Wrote(const std::string& fileName) {
    struct stat st {};
    if (::stat(fileName.c_str(), &st) == 0) {
        written_.emplace(st.st_dev, st.st_ino);
    }
}

bool OwnFiles::IsSomeoneElses(const std::string& fileName) const {
    struct stat st {};
    // What can't be looked at can't be replaced either: the write will say why.
    return ::stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           !written_.contains({st.st_dev, st.st_ino});
}

} // namespace tessmar
