// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recording/DefaultOutputFile.h"

#include <unistd.h>

namespace tessmar {
namespace {

std::string WithSeparator(std::string folder) {
    if (folder.empty() || folder.back() != '/') {
        folder += '/';
    }
    return folder;
}

} // namespace

std::string DefaultOutputFile::For(const std::string& programFile, const std::string& homeFolder,
                                   const Writable& writable) {
    const std::size_t slash = programFile.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : programFile.substr(0, slash + 1);
    if (!folder.empty() && writable(folder)) {
        return WithSeparator(folder) + "out.wav";
    }
    return WithSeparator(homeFolder) + "out.wav";
}

bool DefaultOutputFile::IsWritableFolder(const std::string& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

} // namespace tessmar
