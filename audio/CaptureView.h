// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/WaveformTrace.h"

#include <cstdint>
#include <string>

namespace tessmar {

// Why a recording stopped growing.
enum class RecordingLimit { LongestLength, OutOfMemory };

struct ViewSize {
    int width = 0;
    int height = 0;
};

// What the recording needs of the main window. The capture-thread calls must never wait
// on the window's thread: the window keeps thread-safe copies of what they read and
// hands what they deliver to its own thread.
class CaptureView {
public:
    virtual ~CaptureView() = default;

    // Any thread: the output file name as the window shows it right now; empty for none.
    virtual std::string OutputFileName() = 0;
    // Capture thread, every block: whether a file is named right now. Cheaper than the
    // name itself, which the block doesn't need.
    virtual bool OutputFileNamed() = 0;

    // Capture thread: analyses one block and shows its note.
    virtual void AnalizeFrequenz(const std::uint8_t* block) = 0;
    // Capture thread: the waveform view's size right now.
    virtual ViewSize WaveformViewSize() = 0;
    // Capture thread, last of every block: shows its trace (empty on a view of no width)
    // together with the note AnalizeFrequenz found. The trace is the handler's own buffer;
    // keep a copy.
    virtual void ShowWaveform(const WaveformTrace& trace) = 0;
    // Capture thread, at most once per recording: no more blocks can be kept, and why.
    virtual void RecordingFull(RecordingLimit why) = 0;
    // Capture thread, at most once per recording: the device has gone away; the blocks
    // it filled until then have all been handled.
    virtual void DeviceLost() = 0;

    // Window thread, at start: the recording device can't be opened (code as the device
    // reported it), so nothing will be recorded.
    virtual void DeviceUnavailable(std::uint32_t code) = 0;

    // Window thread, at stop, before each write: the file to write the recording to, given
    // the name about to be tried (another may be chosen instead of replacing a file);
    // empty gives the recording up.
    virtual std::string FileToWrite(const std::string& fileName) { return fileName; }
    // Window thread, at stop: the recording couldn't be written to fileName. Returns another
    // name to try, or an empty one when the user gives the recording up.
    virtual std::string AskForOtherFile(const std::string& fileName, const std::string& reason) = 0;
    // Window thread, at stop: the recording of bytes couldn't be written to fileName for
    // want of space; true when it got there another way that needs none (its journal).
    virtual bool MoveJournalTo(const std::string& /*fileName*/, std::int32_t /*bytes*/) {
        return false;
    }
    // Window thread, at stop: the recording is in fileName, the named one or another.
    virtual void RecordingSaved(const std::string& fileName) = 0;
};

} // namespace tessmar
