// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace tessmar {

// For the latency measurement: with TESSMAR_LATENCY_LOG=FILE set, one line of microseconds
// per block or update shown, written to FILE when the window goes. Unset, a record costs
// one test. All stamps are SteadyNanos().
//
// The main window writes one figure a line: from the device handing back a block to the
// block's note shown. tessmar-pitch writes five: from the device handing back a hop to the
// end of the paint that shows its update, then that time split into stages: the hop handed
// back to the estimate done, then to the window's thread taking it, to the paint's start
// and to the paint's end.
class LatencyLog {
public:
    // The stamps of an update on its way to the screen.
    struct Stamps {
        std::int64_t filled = 0;    // the device handed back the hop
        std::int64_t estimated = 0; // the pitch was estimated
        std::int64_t taken = 0;     // the window's thread took it from the mailbox
    };

    LatencyLog(); // reads TESSMAR_LATENCY_LOG
    ~LatencyLog();
    LatencyLog(const LatencyLog&) = delete;
    LatencyLog& operator=(const LatencyLog&) = delete;

    bool active() const { return !file_.empty(); }
    // Window thread, once the note of a block is shown; filledAt 0: not known.
    void Record(std::int64_t filledAt) {
        if (active() && filledAt != 0) {
            AddBlock(filledAt);
        }
    }
    // At the end of the paint that shows an update; paintStart when that paint began.
    void Painted(const Stamps& stamps, std::int64_t paintStart) {
        if (active() && stamps.filled != 0) {
            AddPainted(stamps, paintStart);
        }
    }

private:
    void AddBlock(std::int64_t filledAt);
    void AddPainted(const Stamps& stamps, std::int64_t paintStart);
    void Add(std::initializer_list<std::int64_t> line);

    std::string file_;
    std::size_t columns_ = 1;          // a program records lines of one kind
    std::vector<std::int64_t> micros_; // columns_ figures a line
};

} // namespace tessmar
