// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/capture/CaptureLink.h"

#include <algorithm>
#include <utility>

namespace tessmar {

void CaptureLink::SetOutputFileName(std::string name) {
    std::lock_guard lock(mutex_);
    fileNamed_.store(!name.empty(), std::memory_order_relaxed);
    fileName_ = std::move(name);
}

std::string CaptureLink::OutputFileName() {
    std::lock_guard lock(mutex_);
    return fileName_;
}

void CaptureLink::SetViewSize(ViewSize size) {
    mailbox_.Edit(
        [size](Block& waiting) { waiting.trace.y.reserve(std::size_t(std::max(0, size.width))); });
    viewSize_.store(size, std::memory_order_relaxed);
}

void CaptureLink::PostNote(std::int32_t note) {
    if (mailbox_.Post([note](Block& waiting) { waiting.note = note; })) {
        doorbell_.Ring();
    }
}

std::int32_t CaptureLink::ShowNoteNow(std::int32_t note) {
    mailbox_.Take([note](Block& waiting) { waiting.note = note; });
    return note;
}

std::int32_t CaptureLink::TakeBlock(WaveformTrace& trace, bool& traceArrived) {
    std::int32_t note = -1;
    mailbox_.Take([&](Block& waiting) {
        note = waiting.note;
        traceArrived = std::exchange(waiting.traceWaiting, false);
        if (traceArrived) {
            std::swap(trace, waiting.trace);
        }
    });
    return note;
}

void CaptureLink::DiscardTrace() {
    mailbox_.Edit([](Block& waiting) { waiting.traceWaiting = false; });
}

void CaptureLink::ShowWaveform(const WaveformTrace& trace) {
    const bool ring = mailbox_.Post([this, &trace](Block& waiting) {
        waiting.note = note_;
        waiting.trace.width = trace.width;
        waiting.trace.height = trace.height;
        waiting.trace.filledAt = trace.filledAt;
        waiting.trace.y.assign(trace.y.begin(), trace.y.end()); // within the capacity it has
        waiting.traceWaiting = true;
    });
    // Otherwise the window is already told, and fetches the newest.
    if (ring) {
        doorbell_.Ring();
    }
}

void CaptureLink::RecordingFull(RecordingLimit why) {
    QMetaObject::invokeMethod(
        this, why == RecordingLimit::OutOfMemory ? "ReportOutOfMemory" : "ReportRecordingFull",
        Qt::QueuedConnection);
}

void CaptureLink::DeviceLost() {
    QMetaObject::invokeMethod(this, "ReportDeviceLost", Qt::QueuedConnection);
}

} // namespace tessmar
