// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessmar {

// A take's recording for the look back: what the input heard, mono, kept as FLAC (about
// half the size of the samples) in the history's recordings folder.
class TakeRecording {
public:
    // A new file's name for a take sung at `at` (seconds since 1970).
    static std::string NameFor(std::int64_t at);
    // Written whole under a temporary name and then renamed, or not at all.
    static bool Write(const std::string& path, const std::vector<std::int16_t>& mono, int rate,
                      std::string& error);
    // Mono at `rate`; empty with the reason when it can't be read.
    static std::vector<std::int16_t> Read(const std::string& path, int rate, std::string& error);
};

} // namespace tessmar
