// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/CaptureView.h"
#include "audio/WaveformTrace.h"
#include "platform/threads/Doorbell.h"
#include "platform/threads/Mailbox.h"

#include <QObject>
#include <atomic>
#include <functional>
#include <mutex>

namespace tessmar {

// The main window as the recording sees it. The capture thread reads what the window
// keeps current (a flag and the view's size, both atomic) and leaves each block's note and
// trace in a mailbox; one ring of a doorbell per block has the window's thread fetch them.
// Per block nothing is allocated and no call is queued; only the rare reports (recording
// full, device lost) are queued calls, looked up by name. docs/threads.md draws the whole
// path and says who may touch what.
class CaptureLink : public QObject, public CaptureView {
    Q_OBJECT
public:
    // What the window does with the results, on its own thread (detect: on any thread).
    struct Window {
        std::function<std::int32_t(const std::uint8_t*)> detect;
        std::function<void()> blockWaiting;
        std::function<void(RecordingLimit)> recordingFull;
        std::function<std::string(const std::string&)> fileToWrite;
        std::function<std::string(const std::string&, const std::string&)> askForOtherFile;
        std::function<void(std::uint32_t)> deviceUnavailable;
        std::function<bool(const std::string&, std::int32_t)> moveJournalTo;
        std::function<void(const std::string&)> recordingSaved;
        std::function<void()> deviceLost;
    };

    explicit CaptureLink(Window window, QObject* parent = nullptr)
        : QObject(parent), window_(std::move(window)),
          doorbell_([this] { window_.blockWaiting(); }, this) {}

    // Window thread: keep the copies current.
    void SetOutputFileName(std::string name);
    void SetViewSize(ViewSize size);
    // Any thread: a note to show, without a trace; the window is told.
    void PostNote(std::int32_t note);
    // Window thread: a note shown at once; later fetches give it until a newer one comes.
    std::int32_t ShowNoteNow(std::int32_t note);
    // Window thread: the latest note, and the trace that came since the last fetch, which
    // swaps places with `trace`.
    std::int32_t TakeBlock(WaveformTrace& trace, bool& traceArrived);
    // Window thread, once the capture thread has ended: a trace still waiting belongs to
    // the recording that is over; its note is still shown.
    void DiscardTrace();

    std::string OutputFileName() override;
    bool OutputFileNamed() override { return fileNamed_.load(std::memory_order_relaxed); }
    void AnalizeFrequenz(const std::uint8_t* block) override { note_ = window_.detect(block); }
    ViewSize WaveformViewSize() override { return viewSize_.load(std::memory_order_relaxed); }
    void ShowWaveform(const WaveformTrace& trace) override;
    void RecordingFull(RecordingLimit why) override;
    void DeviceLost() override;
    void DeviceUnavailable(std::uint32_t code) override { window_.deviceUnavailable(code); }
    std::string FileToWrite(const std::string& fileName) override {
        return window_.fileToWrite(fileName);
    }
    std::string AskForOtherFile(const std::string& fileName, const std::string& reason) override {
        return window_.askForOtherFile(fileName, reason);
    }
    bool MoveJournalTo(const std::string& fileName, std::int32_t bytes) override {
        return window_.moveJournalTo(fileName, bytes);
    }
    void RecordingSaved(const std::string& fileName) override { window_.recordingSaved(fileName); }

private slots:
    // Once per recording at most: queued by name; the call's event is Qt's allocation.
    void ReportRecordingFull() { window_.recordingFull(RecordingLimit::LongestLength); }
    void ReportOutOfMemory() { window_.recordingFull(RecordingLimit::OutOfMemory); }
    void ReportDeviceLost() { window_.deviceLost(); }

private:
    // What waits for the window: the latest note, and the latest trace until it is taken.
    // Once both sides' traces have room for the view's width, nothing is allocated.
    struct Block {
        std::int32_t note = -1;
        WaveformTrace trace;
        bool traceWaiting = false;
    };

    Window window_;
    Doorbell doorbell_;
    Mailbox<Block> mailbox_;
    std::mutex mutex_; // the name, which only the window's thread needs in full
    std::string fileName_;
    std::atomic<bool> fileNamed_ = false;
    std::atomic<ViewSize> viewSize_{ViewSize{}};
    std::int32_t note_ = -1; // capture thread: the block's note, until its trace goes with it
};

} // namespace tessmar
