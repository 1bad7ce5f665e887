// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/profile/ProfileStore.h"

namespace tessmar {

// Profile functions on a real INI file.
class IniFileProfile : public ProfileStore {
public:
    explicit IniFileProfile(std::string path);

    // Where the program keeps its INI file on Linux: named after the program file with
    // ".INI" as its extension ("tessmar.INI"), in the user's configuration folder,
    // $XDG_CONFIG_HOME when that is an absolute path, otherwise ~/.config.
    static std::string PathFor(const std::string& programFile, const std::string& configHome,
                               const std::string& home);
    // PathFor() with this process's environment.
    static std::string DefaultPathFor(const std::string& programFile);

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) override;
    bool WriteStrings(const std::string& section, const ProfileEntries& entries) override;
    std::string FileName() const override { return path_; }

private:
    std::string path_;
};

} // namespace tessmar
