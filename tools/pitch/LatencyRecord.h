#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tessmar {

// For the latency measurement: with TESSMAR_LATENCY_LOG=FILE set, the time from the device
// handing back a hop to the end of the paint that shows its update, one line of
// microseconds per update, written to FILE when the window goes.
class LatencyRecord {
public:
    LatencyRecord();
    ~LatencyRecord();
    LatencyRecord(const LatencyRecord&) = delete;
    LatencyRecord& operator=(const LatencyRecord&) = delete;

    bool active() const { return !file_.empty(); }
    // filledAt: steady clock in ns as the device stamped the hop.
    void Painted(std::int64_t filledAt);

private:
    std::string file_;
    std::vector<std::int64_t> micros_;
};

} // namespace tessmar
