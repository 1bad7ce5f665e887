// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessmar {

// Note latency for the benchmark: with TESSMAR_LATENCY_LOG=FILE set, the time from a block
// filled on the device to its note shown in the window, one line of microseconds per block,
// written to FILE when the window goes. Unset, Record costs one test.
class LatencyLog {
public:
    LatencyLog(); // reads TESSMAR_LATENCY_LOG
    ~LatencyLog();
    LatencyLog(const LatencyLog&) = delete;
    LatencyLog& operator=(const LatencyLog&) = delete;

    // Window thread, once the note of a block is shown; filledAt as FilledNow() gave it
    // when the device handed the block back (0: not known).
    void Record(std::int64_t filledAt) {
        if (!file_.empty() && filledAt != 0) {
            Add(filledAt);
        }
    }
    // The clock both ends read: steady, in nanoseconds.
    static std::int64_t Now();

private:
    void Add(std::int64_t filledAt);

    std::string file_;
    std::vector<std::int64_t> micros_;
};

} // namespace tessmar
