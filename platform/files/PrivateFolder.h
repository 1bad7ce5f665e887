// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/system/UniqueFd.h"

#include <string>

namespace tessmar {

// A folder of the process's own user that nobody else may enter (mode 0700).
class PrivateFolder {
public:
    // Creates path with mode 0700 where missing (its parents as usual), then checks it: a
    // real folder, not a link, owned by the process's user; one of the user's own that
    // others may enter is closed to them. False when it can't be had, or when someone else
    // owns or planted what is at the name.
    static bool Make(const std::string& path);
    // Checks an existing folder the same way, changing nothing.
    static bool Check(const std::string& path);
    // As Make (make) or Check, and the folder held open: what is then done inside it goes
    // relative to the descriptor (openat, renameat, unlinkat), so that nobody can swap the
    // folder for another between the check and the use. Empty when it can't be had.
    static UniqueFd Open(const std::string& path, bool make);
    // The per-user folder in tmp: "<tmp>/tessmar-<uid>".
    static std::string InTemp(const std::string& tmp);
    // $TMPDIR, else /tmp.
    static std::string TempFolder();
};

} // namespace tessmar
