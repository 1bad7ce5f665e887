// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/threads/LatencyLog.h"

#include "platform/threads/SteadyNanos.h"

#include <cstdlib>
#include <fstream>

namespace tessmar {

LatencyLog::LatencyLog() {
    if (const char* file = std::getenv("TESSMAR_LATENCY_LOG"); file && *file) {
        file_ = file;
        micros_.reserve(1 << 16); // over an hour of the main window's blocks without growing
    }
}

LatencyLog::~LatencyLog() {
    if (!active()) {
        return;
    }
    std::ofstream out(file_);
    for (std::size_t i = 0; i + columns_ <= micros_.size(); i += columns_) {
        for (std::size_t c = 0; c < columns_; ++c) {
            out << micros_[i + c] << (c + 1 < columns_ ? ' ' : '\n');
        }
    }
}

void LatencyLog::AddBlock(std::int64_t filledAt) {
    Add({(SteadyNanos() - filledAt) / 1000});
}

void LatencyLog::AddPainted(const Stamps& stamps, std::int64_t paintStart) {
    const std::int64_t now = SteadyNanos();
    // A missing stamp gives -1, not a stage that looks measured.
    const auto us = [](std::int64_t from, std::int64_t to) {
        return from != 0 && to != 0 ? (to - from) / 1000 : -1;
    };
    Add({us(stamps.filled, now), us(stamps.filled, stamps.estimated),
         us(stamps.estimated, stamps.taken), us(stamps.taken, paintStart), us(paintStart, now)});
}

void LatencyLog::Add(std::initializer_list<std::int64_t> line) {
    columns_ = line.size();
    micros_.insert(micros_.end(), line);
}

} // namespace tessmar
