#include "tools/pitch/LatencyRecord.h"

#include <chrono>
#include <cstdlib>
#include <fstream>

namespace tessmar {

LatencyRecord::LatencyRecord() {
    const char* file = std::getenv("TESSMAR_LATENCY_LOG");
    file_ = file ? file : "";
}

LatencyRecord::~LatencyRecord() {
    if (active()) {
        std::ofstream out(file_);
        for (const std::int64_t us : micros_) {
            out << us << '\n';
        }
    }
}

void LatencyRecord::Painted(std::int64_t filledAt) {
    if (active() && filledAt != 0) {
        const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count();
        micros_.push_back((now - filledAt) / 1000);
    }
}

} // namespace tessmar
