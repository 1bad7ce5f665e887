#pragma once

#include "audio/CaptureView.h"

#include <QObject>
#include <functional>
#include <mutex>
#include <optional>

namespace tessmar {

// The main window as the recording sees it. The capture thread reads copies that the
// window keeps current and leaves its results here; a queued call has the window's thread
// fetch them. Nothing the capture thread calls waits for the window's thread.
class CaptureLink : public QObject, public CaptureView {
    Q_OBJECT
public:
    // What the window does with the results, on its own thread (analyse: on any thread).
    struct Window {
        std::function<void(const std::uint8_t*)> analyse;
        std::function<void()> traceWaiting;
        std::function<void(RecordingLimit)> recordingFull;
        std::function<std::string(const std::string&, const std::string&)> askForOtherFile;
        std::function<void(std::uint32_t)> deviceUnavailable;
        std::function<void(const std::string&)> recordingSaved;
        std::function<void()> deviceLost;
    };

    explicit CaptureLink(Window window, QObject* parent = nullptr)
        : QObject(parent), window_(std::move(window)) {}

    // Window thread: keep the copies current.
    void SetOutputFileName(std::string name);
    void SetViewSize(ViewSize size);
    // Window thread: the newest trace that has not been drawn yet.
    std::optional<WaveformTrace> TakeTrace();
    // Window thread, once the capture thread has ended: a trace still waiting belongs to
    // the recording that is over, and the view goes plain.
    void DiscardTrace() { TakeTrace(); }

    std::string OutputFileName() override;
    void AnalizeFrequenz(const std::uint8_t* block) override { window_.analyse(block); }
    ViewSize WaveformViewSize() override;
    void ShowWaveform(WaveformTrace trace) override;
    void RecordingFull(RecordingLimit why) override;
    void DeviceLost() override;
    void DeviceUnavailable(std::uint32_t code) override { window_.deviceUnavailable(code); }
    std::string AskForOtherFile(const std::string& fileName, const std::string& reason) override {
        return window_.askForOtherFile(fileName, reason);
    }
    void RecordingSaved(const std::string& fileName) override { window_.recordingSaved(fileName); }

private slots:
    // Queued by name, not as functors: nothing allocated on the capture thread travels to
    // the window's thread.
    void TraceWaiting() { window_.traceWaiting(); }
    void ReportRecordingFull() { window_.recordingFull(RecordingLimit::LongestLength); }
    void ReportOutOfMemory() { window_.recordingFull(RecordingLimit::OutOfMemory); }
    void ReportDeviceLost() { window_.deviceLost(); }

private:
    Window window_;
    std::mutex mutex_;
    std::string fileName_;
    ViewSize viewSize_;
    std::optional<WaveformTrace> trace_;
};

} // namespace tessmar
