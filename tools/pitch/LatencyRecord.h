// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessmar {

// Steady clock in ns, the clock every stamp of an update is taken with.
std::int64_t SteadyNanos();

// For the latency measurement: with TESSMAR_LATENCY_LOG=FILE set, the time from the device
// handing back a hop to the end of the paint that shows its update, one line per update,
// written to FILE when the window goes. The line's first figure is that time in
// microseconds; the four after it split it into stages: the hop handed back to the estimate
// done, then to the window's thread taking it, to the paint's start and to the paint's end.
class LatencyRecord {
public:
    // The stamps (steady clock, ns) of an update on its way to the screen.
    struct Stamps {
        std::int64_t filled = 0;    // the device handed back the hop
        std::int64_t estimated = 0; // the pitch was estimated
        std::int64_t taken = 0;     // the window's thread took it from the mailbox
    };

    LatencyRecord();
    ~LatencyRecord();
    LatencyRecord(const LatencyRecord&) = delete;
    LatencyRecord& operator=(const LatencyRecord&) = delete;

    bool active() const { return !file_.empty(); }
    // At the end of the paint that shows the update; paintStart when that paint began.
    void Painted(const Stamps& stamps, std::int64_t paintStart);

private:
    std::string file_;
    std::vector<std::int64_t> micros_; // five figures per update
};

} // namespace tessmar
