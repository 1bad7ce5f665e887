// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/threads/LatencyLog.h"

#include <chrono>
#include <cstdlib>
#include <fstream>

namespace tessmar {

LatencyLog::LatencyLog() {
    if (const char* file = std::getenv("TESSMAR_LATENCY_LOG"); file && *file) {
        file_ = file;
        micros_.reserve(1 << 16); // over an hour of blocks without growing
    }
}

LatencyLog::~LatencyLog() {
    if (file_.empty()) {
        return;
    }
    std::ofstream out(file_);
    for (const std::int64_t us : micros_) {
        out << us << '\n';
    }
}

std::int64_t LatencyLog::Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void LatencyLog::Add(std::int64_t filledAt) {
    micros_.push_back((Now() - filledAt) / 1000);
}

} // namespace tessmar
