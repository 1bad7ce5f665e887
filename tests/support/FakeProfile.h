// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/profile/ProfileStore.h"

#include <map>
#include <string>

namespace tessmar::test {

// Profile functions on a map, recording what was written in order.
class FakeProfile : public ProfileStore {
public:
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& fallback) override {
        const auto it = values.find(section + "/" + key);
        return it == values.end() ? fallback : it->second;
    }
    bool WriteStrings(const std::string& section, const ProfileEntries& entries) override {
        if (failWrites) {
            return false;
        }
        for (const auto& [key, value] : entries) {
            values[section + "/" + key] = value;
        }
        written = entries;
        return true;
    }
    std::string FileName() const override { return "/nirgends/tessmar.INI"; }

    void Set(const std::string& key, const std::string& value) {
        values["TMainForm/" + key] = value;
    }
    std::string Value(const std::string& key) const {
        const auto it = values.find("TMainForm/" + key);
        return it == values.end() ? "<fehlt>" : it->second;
    }

    std::map<std::string, std::string> values; // "section/key"
    ProfileEntries written;                    // entries of the last write
    bool failWrites = false;
};

} // namespace tessmar::test
