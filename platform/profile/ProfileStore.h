// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tessmar {

using ProfileEntries = std::vector<std::pair<std::string, std::string>>;

// The profile functions the window uses to keep its placement between runs: read a key
// with a default, write keys while keeping everything else in the file.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    // The stored value, or fallback when the file, section or key is missing.
    virtual std::string ReadString(const std::string& section, const std::string& key,
                                   const std::string& fallback) = 0;

    // Sets the keys in this order, creating file and section as needed. All or nothing:
    // false when the file could not be written, which then stays as it was.
    virtual bool WriteStrings(const std::string& section, const ProfileEntries& entries) = 0;

    // The file's name as the user should see it in a message.
    virtual std::string FileName() const = 0;
};

} // namespace tessmar
