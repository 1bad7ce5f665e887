#include "app/CaptureLink.h"

namespace tessmar {

void CaptureLink::SetOutputFileName(std::string name) {
    std::lock_guard lock(mutex_);
    fileName_ = std::move(name);
}

std::string CaptureLink::OutputFileName() {
    std::lock_guard lock(mutex_);
    return fileName_;
}

void CaptureLink::SetViewSize(ViewSize size) {
    std::lock_guard lock(mutex_);
    viewSize_ = size;
}

ViewSize CaptureLink::WaveformViewSize() {
    std::lock_guard lock(mutex_);
    return viewSize_;
}

void CaptureLink::ShowWaveform(WaveformTrace trace) {
    bool notify = false;
    {
        std::lock_guard lock(mutex_);
        notify = !trace_.has_value(); // otherwise the window is already told, and draws the newest
        trace_ = std::move(trace);
    }
    if (notify) {
        QMetaObject::invokeMethod(this, "TraceWaiting", Qt::QueuedConnection);
    }
}

std::optional<WaveformTrace> CaptureLink::TakeTrace() {
    std::lock_guard lock(mutex_);
    return std::exchange(trace_, std::nullopt);
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
