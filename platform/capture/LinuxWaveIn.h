// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/capture/CaptureCounters.h"
#include "platform/capture/CaptureFormat.h"
#include "platform/capture/CaptureInput.h"
#include "platform/capture/PacedCaptureSource.h"
#include "platform/capture/WaveIn.h"
#include "platform/threads/SlowCall.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace tessmar {

class CaptureDevice;

// The recording device on Linux: every open takes its input afresh from the source the
// CaptureInput names (ALSA, a file from its start, the built-in singer from its first
// note). Handles are never reused, so a closed one stays invalid.
class LinuxWaveIn : public WaveInApi {
public:
    // Makes the built-in singer's input afresh for each open. The program wires it in, so
    // the device layer needs nothing above it; without one that input cannot be opened.
    using SingerFactory = std::function<PacedCaptureSource::Render()>;

    // Opens only the capture format at the timing's rate; ALSA devices deliver the
    // timing's period at a time, the paced inputs (file, built-in singer) too.
    explicit LinuxWaveIn(CaptureInput input, SingerFactory singer = {}, CaptureTiming timing = {});
    // The program's device: the input TESSMAR_INPUT names (a bad value is reported on
    // standard error and gives the ALSA default).
    static std::unique_ptr<LinuxWaveIn> FromEnvironment(SingerFactory singer,
                                                        CaptureTiming timing = {});
    // Closes any device still open.
    ~LinuxWaveIn() override;

    MMRESULT waveInOpen(HWAVEIN* handle, std::uint32_t deviceId, const WaveFormatEx* format,
                        std::uintptr_t callback, std::uintptr_t instance,
                        std::uint32_t flags) override;
    MMRESULT waveInPrepareHeader(HWAVEIN handle, WaveHdr* header, std::uint32_t size) override;
    MMRESULT waveInAddBuffer(HWAVEIN handle, WaveHdr* header, std::uint32_t size) override;
    MMRESULT waveInStart(HWAVEIN handle) override;
    MMRESULT waveInStop(HWAVEIN handle) override;
    MMRESULT waveInReset(HWAVEIN handle) override;
    MMRESULT waveInClose(HWAVEIN handle) override;

    // How waveInOpen waits for an input that is slow to open (a stopped sound server);
    // when the wait gives up, the open fails with MMSYSERR_NORESPONSE.
    void SetSlowCallWait(SlowCallWait wait) { slowCallWait_ = std::move(wait); }

    const CaptureInput& input() const { return input_; }
    // A program that opens again and again while the device is missing tells each reason
    // once, not on every try.
    void TellRepeatedFailuresOnce() { onceOnly_ = true; }
    // Input lost since this object was made: frames that found no queued block, and
    // overflows of the input because the device thread came too late.
    std::uint64_t LostFrames() const { return counters_->lostFrames; }
    std::uint64_t SourceOverruns() const { return counters_->sourceOverruns; }
    // Device threads that a close had to leave stuck in their input and that have not
    // ended yet.
    int StrandedThreads() const { return counters_->strandedThreads; }

private:
    std::shared_ptr<CaptureDevice> Find(HWAVEIN handle);

    const CaptureInput input_;
    const CaptureTiming timing_;
    const SingerFactory singer_;
    SlowCallWait slowCallWait_;
    // Shared with the device threads, which may outlive this object when one is stuck.
    const std::shared_ptr<CaptureCounters> counters_ = std::make_shared<CaptureCounters>();
    std::mutex mutex_;
    bool onceOnly_ = false;
    std::string lastFailure_; // what the last open told, with onceOnly_
    HWAVEIN lastHandle_ = 0;
    std::map<HWAVEIN, std::shared_ptr<CaptureDevice>> devices_;
};

} // namespace tessmar
