// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>

namespace tessmar {

// Maps the steady clock onto capture time, so that a sound started on the output can be
// placed among the updates. Each update says when the device handed over its last frame;
// the hand-over is late by a varying moment, so the least late of the recent ones tells
// the offset best. Not thread-safe.
class CaptureClock {
public:
    static constexpr std::size_t kKept = 40; // two seconds of updates

    void Add(double seconds, std::int64_t filledAtNs);
    bool known() const { return !offsets_.empty(); }
    void Reset() { offsets_.clear(); }
    // The capture time of a steady-clock moment.
    double SecondsAt(std::int64_t steadyNs) const;

private:
    std::deque<double> offsets_; // steady seconds less capture seconds, newest last
};

} // namespace tessmar
