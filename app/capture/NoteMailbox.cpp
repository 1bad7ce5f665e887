// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/capture/NoteMailbox.h"

#include <algorithm>
#include <utility>

namespace tessmar {

bool NoteMailbox::Post(std::int32_t note) {
    std::lock_guard lock(mutex_);
    latest_ = note;
    return !std::exchange(pending_, true);
}

bool NoteMailbox::Post(std::int32_t note, const WaveformTrace& trace) {
    std::lock_guard lock(mutex_);
    latest_ = note;
    trace_.width = trace.width;
    trace_.height = trace.height;
    trace_.filledAt = trace.filledAt;
    trace_.y.assign(trace.y.begin(), trace.y.end()); // within the capacity it has
    traceWaiting_ = true;
    return !std::exchange(pending_, true);
}

std::int32_t NoteMailbox::Take() {
    std::lock_guard lock(mutex_);
    pending_ = false;
    return latest_;
}

std::int32_t NoteMailbox::Take(WaveformTrace& trace, bool& traceArrived) {
    std::lock_guard lock(mutex_);
    pending_ = false;
    traceArrived = std::exchange(traceWaiting_, false);
    if (traceArrived) {
        std::swap(trace, trace_);
    }
    return latest_;
}

void NoteMailbox::DropTrace() {
    std::lock_guard lock(mutex_);
    traceWaiting_ = false;
}

void NoteMailbox::Reserve(int width) {
    std::lock_guard lock(mutex_);
    trace_.y.reserve(std::size_t(std::max(0, width)));
}

} // namespace tessmar
