// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/CaptureEngine.h"

#include "audio/TMyThread.h"
#include "audio/WaveFileWriter.h"
#include "platform/system/SystemErrorText.h"

#include <algorithm>
#include <cerrno>
#include <exception>

namespace tessmar {

CaptureEngine::~CaptureEngine() {
    // The capture thread works on this engine's state; it must not outlive it.
    if (Running()) {
        Stop();
    }
}

void CaptureEngine::Start() {
    CaptureState& s = state_;
    const WaveFormatEx format = CaptureFormat();
    s.WaveInHandle = 0;
    s.WaveBuffer1 = std::make_unique_for_overwrite<std::uint8_t[]>(kBlockBytes);
    s.WaveBuffer2 = std::make_unique_for_overwrite<std::uint8_t[]>(kBlockBytes);
    s.WaveHeader1 = WaveHdr{};
    s.WaveHeader1.lpData = s.WaveBuffer1.get();
    s.WaveHeader1.dwBufferLength = kBlockBytes;
    s.WaveHeader2 = WaveHdr{};
    s.WaveHeader2.lpData = s.WaveBuffer2.get();
    s.WaveHeader2.dwBufferLength = kBlockBytes;
    s.Recording = RecordingBuffer(recordingLimit_);
    s.KeepingStopped = false;
    s.RecordingFullReported = false;
    // The one allocation of the trace in a recording; the capture thread only reuses it.
    s.Trace = WaveformTrace{};
    s.Trace.y.reserve(std::size_t(std::max(0, view_.WaveformViewSize().width)));

    auto thread = std::make_unique<TMyThread>(handler_);
    thread->SetFreeOnTerminate(true);
    captureThreadEnded_ = thread->Finished();
    thread->Resume(); // a thread that can't be started is destroyed here, unstarted
    s.CaptureThread = thread.release();

    try {
        StartDevice(format);
    } catch (...) {
        // Whatever failed, nothing is left running: the error goes to the caller.
        Stop();
        throw;
    }
}

void CaptureEngine::StartDevice(const WaveFormatEx& format) {
    CaptureState& s = state_;
    const MMRESULT opened = device_.waveInOpen(&s.WaveInHandle, WAVE_MAPPER, &format,
                                               s.CaptureThread->ThreadID(), 0, CALLBACK_THREAD);
    if (opened != MMSYSERR_NOERROR) {
        // The recording still waits for "Abbrechen", but the user learns that it gets nothing.
        view_.DeviceUnavailable(opened);
        return;
    }
    device_.waveInPrepareHeader(s.WaveInHandle, &s.WaveHeader1, kWaveHdrSize);
    device_.waveInPrepareHeader(s.WaveInHandle, &s.WaveHeader2, kWaveHdrSize);
    device_.waveInAddBuffer(s.WaveInHandle, &s.WaveHeader1, kWaveHdrSize);
    device_.waveInAddBuffer(s.WaveInHandle, &s.WaveHeader2, kWaveHdrSize);
    s.BlockToggle = 0;
    device_.waveInStart(s.WaveInHandle);
}

void CaptureEngine::Stop() {
    CaptureState& s = state_;
    if (s.CaptureThread == nullptr) {
        return; // no recording to stop
    }
    s.CaptureThread->Terminate();
    s.CaptureThread = nullptr; // it may release itself from now on
    // Every step is taken whatever an earlier one threw, so the engine is idle afterwards
    // and the next Start finds nothing running; the first error goes to the caller.
    std::exception_ptr failure;
    auto step = [&failure](auto&& action) {
        try {
            action();
        } catch (...) {
            if (!failure) {
                failure = std::current_exception();
            }
        }
    };
    // Close hands back whatever the capture thread queued after the reset, so no block
    // stays with the device once it is closed.
    step([&] { device_.waveInStop(s.WaveInHandle); });
    step([&] { device_.waveInReset(s.WaveInHandle); });
    step([&] { device_.waveInClose(s.WaveInHandle); });
    WaitForCaptureThread();

    if (s.Recording.ByteCount() != 0) {
        step([&] { SaveRecording(); });
    }
    s.Recording.Release();
    s.WaveBuffer1.reset();
    s.WaveBuffer2.reset();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

void CaptureEngine::WaitForCaptureThread() {
    // The window keeps being served: the capture thread may be handing it a block.
    using namespace std::chrono_literals;
    while (captureThreadEnded_.wait_for(0ms) != std::future_status::ready) {
        events_.ServeEvents(10ms);
    }
}

void CaptureEngine::SaveRecording() {
    std::string fileName = view_.OutputFileName();
    while (!fileName.empty()) {
        fileName = view_.FileToWrite(fileName);
        if (fileName.empty()) {
            return;
        }
        const RecordingBuffer& r = state_.Recording;
        if (WriteWaveFile(fileName, r.data(), r.ByteCount(), kSampleRate, true, true)) {
            view_.RecordingSaved(fileName);
            return;
        }
        const int error = errno;
        // A full disk may still hold the take once: its journal is already on it.
        if ((error == ENOSPC || error == EDQUOT) && view_.MoveJournalTo(fileName, r.ByteCount())) {
            view_.RecordingSaved(fileName);
            return;
        }
        // The recording is still in memory: the user may store it elsewhere.
        fileName = view_.AskForOtherFile(fileName, SystemErrorText(error));
    }
}

} // namespace tessmar
