// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/system/UniqueFd.h"

#include <string>

namespace tessmar {

// Keeps two running takes from writing into one file name: an exclusive flock on a lock
// file of its own, named after a hash of the name's canonical path, in a private folder of
// the user's (the runtime folder). The named file itself is never locked nor created: it
// is replaced by a rename when written, and a take that records nothing must not leave it
// behind. The lock goes with the process, however it ends.
class FileNameLock {
public:
    enum class Result {
        Held,         // this object holds the name now
        TakenByOther, // another process (or another lock object) holds it
        Unavailable,  // there is no private folder for lock files: nothing is held
    };

    // Lock files go into folder; by default the user's runtime folder ($XDG_RUNTIME_DIR,
    // else the user's private folder in the temporary folder, $TMPDIR/tessmar-UID).
    explicit FileNameLock(std::string folder = RuntimeFolder());

    // Locks fileName, giving up any other name held before; a name already held stays so.
    Result Acquire(const std::string& fileName);
    void Release();

    // The folder for lock files, checked to be the user's own and private; empty when
    // there is none to be had.
    static std::string RuntimeFolder();

private:
    std::string folder_;
    UniqueFd folderFd_; // folder_, once checked
    std::string key_;   // the lock file of the name held; empty for none
    UniqueFd fd_;
};

} // namespace tessmar
