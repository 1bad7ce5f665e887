// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/capture/CaptureFormat.h"
#include "platform/capture/CaptureSource.h"
#include "platform/capture/WaveIn.h"
#include "platform/system/UniqueFd.h"

#include <memory>
#include <string>

struct _snd_pcm;

namespace tessmar {

// Capture from an ALSA PCM through ALSA's plug layer, which converts whatever the device
// delivers into the capture format. Reads never block: the device thread waits in poll,
// together with a wake-up descriptor that a stop request signals.
class AlsaCaptureSource : public CaptureSource {
public:
    static constexpr unsigned long kBufferFrames = 8 * 1024; // slack for a late reader

    // nullptr when the PCM can't be opened for capture in the capture format at the
    // timing's rate; result then holds the waveIn code and error a German reason. The
    // period is the timing's, by default one 4096-byte block.
    static std::unique_ptr<AlsaCaptureSource> Open(const std::string& name, MMRESULT& result,
                                                   std::string& error, CaptureTiming timing = {});
    ~AlsaCaptureSource() override;

    void Start() override;
    void Stop() override;
    std::size_t Read(std::int16_t* frames, std::size_t maxFrames, std::stop_token stop) override;
    std::uint64_t Overruns() const override { return overruns_; }
    // After an error that can't be recovered from, or a start that failed.
    bool Lost() const override { return lost_; }

private:
    struct PcmCloser {
        void operator()(_snd_pcm* pcm) const;
    };
    using PcmHandle = std::unique_ptr<_snd_pcm, PcmCloser>;

    AlsaCaptureSource(std::string name, PcmHandle pcm, UniqueFd wake);
    bool StartPcm();
    // Gets the PCM capturing again after error; false when it is lost.
    bool Recover(int error, std::stop_token& stop);
    // Waits until the PCM has input (withPcm) or the time is up, or stop is requested.
    void Wait(std::stop_token& stop, bool withPcm, int timeoutMs);
    void Complain(const std::string& what, int error);

    std::string name_;
    PcmHandle pcm_;
    UniqueFd wake_;
    bool running_ = false;
    bool lost_ = false;
    bool complained_ = false;
    std::uint64_t overruns_ = 0;
};

} // namespace tessmar
