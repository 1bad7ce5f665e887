// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/pitch/LatencyRecord.h"

#include <chrono>
#include <cstdlib>
#include <fstream>

namespace tessmar {

std::int64_t SteadyNanos() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

LatencyRecord::LatencyRecord() {
    const char* file = std::getenv("TESSMAR_LATENCY_LOG");
    file_ = file ? file : "";
}

LatencyRecord::~LatencyRecord() {
    if (active()) {
        std::ofstream out(file_);
        for (std::size_t i = 0; i + 5 <= micros_.size(); i += 5) {
            out << micros_[i] << ' ' << micros_[i + 1] << ' ' << micros_[i + 2] << ' '
                << micros_[i + 3] << ' ' << micros_[i + 4] << '\n';
        }
    }
}

void LatencyRecord::Painted(const Stamps& stamps, std::int64_t paintStart) {
    if (active() && stamps.filled != 0) {
        const std::int64_t now = SteadyNanos();
        const auto us = [&](std::int64_t from, std::int64_t to) {
            return from != 0 && to != 0 ? (to - from) / 1000 : -1;
        };
        micros_.insert(micros_.end(), {us(stamps.filled, now), us(stamps.filled, stamps.estimated),
                                       us(stamps.estimated, stamps.taken),
                                       us(stamps.taken, paintStart), us(paintStart, now)});
    }
}

} // namespace tessmar
