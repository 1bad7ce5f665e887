// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/capture/CaptureLink.h"

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
    mailbox_.Reserve(size.width);
    viewSize_.store(size, std::memory_order_relaxed);
}

void CaptureLink::PostNote(std::int32_t note) {
    if (mailbox_.Post(note)) {
        doorbell_.Ring();
    }
}

void CaptureLink::ShowWaveform(const WaveformTrace& trace) {
    // Otherwise the window is already told, and fetches the newest.
    if (mailbox_.Post(note_, trace)) {
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
