// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <set>
#include <string>
#include <utility>

namespace tessmar {

// The files this run of the program has written, known by their identity on disk (device
// and inode) rather than by name, so that neither another name for one of them nor a file
// someone else has put there since is mistaken for it. Replacing one of them is the
// practice loop of sing, listen and sing again, and needs no question; replacing any other
// existing file loses a take from before.
class OwnFiles {
public:
    // fileName has just been written by this run.
    void Wrote(const std::string& fileName);
    // fileName names an existing file that this run did not write.
    bool IsSomeoneElses(const std::string& fileName) const;

private:
    std::set<std::pair<unsigned long long, unsigned long long>> written_;
};

} // namespace tessmar
