// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/CaptureHandler.h"

#include "audio/ScopeExit.h"
#include "audio/TakeJournal.h"
#include "platform/threads/TThread.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace tessmar {

void CaptureHandler::ProcessCaptureMessages(const TThread& thread) {
    for (;;) {
        ThreadMessage message;
        if (!GetMessage(&message) || thread.Terminated()) {
            return;
        }
        if (message.message == MM_WIM_DATA && !thread.Terminated()) {
            try {
                HandleCapturedBlock();
            } catch (const std::exception&) {
                // Out of memory for one block: the recording goes on with the next one.
            }
        } else if (message.message == MM_WIM_LOST && !thread.Terminated()) {
            view_.DeviceLost(); // every block filled before the loss has been kept by now
        }
    }
}

void CaptureHandler::HandleCapturedBlock() {
    CaptureState& s = state_;
    const bool first = s.BlockToggle == 0;
    s.BlockToggle = first ? 1 : 0;
    WaveHdr* header = first ? &s.WaveHeader1 : &s.WaveHeader2;
    const std::uint8_t* buffer = first ? s.WaveBuffer1.get() : s.WaveBuffer2.get();
    // The block goes back to the device whatever happens here: a block kept back would
    // leave the device one block short and every later block out of step with the toggle.
    ScopeExit giveBack([&] { device_.waveInAddBuffer(s.WaveInHandle, header, kWaveHdrSize); });

    if (!view_.OutputFileNamed()) {
        s.Recording.Release();
        s.KeepingStopped = false;
    }
    // A device never fills more than the block; a count beyond it would read past the buffer.
    const std::uint32_t n = std::min<std::uint32_t>(header->dwBytesRecorded, kBlockBytes);
    const std::uint8_t* newest = nullptr;
    if (!s.KeepingStopped && s.Recording.Append(buffer, n)) {
        const std::int32_t offset = s.Recording.ByteCount() - std::int32_t(n);
        newest = s.Recording.data() + offset;
        if (s.Journal && view_.OutputFileNamed()) {
            s.Journal->Append(offset, newest, n);
        }
    } else {
        // Full, or out of memory: the note and the waveform go on, and the recording keeps
        // what it has without a gap.
        s.KeepingStopped = true;
        std::memcpy(s.UnkeptBlock.data(), buffer, n);
        newest = s.UnkeptBlock.data();
        if (!s.RecordingFullReported) {
            s.RecordingFullReported = true;
            view_.RecordingFull(s.Recording.HasRoomFor(n) ? RecordingLimit::OutOfMemory
                                                          : RecordingLimit::LongestLength);
        }
    }
    view_.AnalizeFrequenz(buffer);
    s.Trace.filledAt = header->filledAt; // before the device may reuse it
    giveBack.Run();
    DrawWaveform(newest, n);
}

void CaptureHandler::DrawWaveform(const std::uint8_t* newest, std::uint32_t n) {
    const ViewSize size = view_.WaveformViewSize();
    WaveformTrace& trace = state_.Trace;
    if (size.width <= 0) {
        trace.width = size.width; // nothing to draw, but the note still goes to the window
        trace.y.clear();
    } else {
        TraceBlock(newest, n, size.width, size.height, trace);
    }
    view_.ShowWaveform(trace);
}

} // namespace tessmar
