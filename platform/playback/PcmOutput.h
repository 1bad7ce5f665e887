// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/playback/MciConstants.h"

#include <alsa/asoundlib.h>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace tessmar {

// One playback stream of 16-bit interleaved frames on an ALSA PCM. Non-blocking
// throughout, so that whoever drives it can always stop. Not thread-safe: one thread
// at a time.
class PcmOutput {
public:
    // nullptr on failure, with the reason in error. latency is the device's buffer: more
    // rides out a busier machine and wakes the writer less often.
    static constexpr unsigned kLatencyMicroseconds = 200000;
    static std::unique_ptr<PcmOutput> Open(const std::string& name, int channels, int rate,
                                           mci::Error& error,
                                           unsigned latencyMicroseconds = kLatencyMicroseconds);
    ~PcmOutput() { Drop(); }
    PcmOutput(const PcmOutput&) = delete;
    PcmOutput& operator=(const PcmOutput&) = delete;

    // Hands up to frameCount frames to the device: how many it took (0 while it is full),
    // negative on an error it can't get over.
    long Write(const std::int16_t* frames, std::size_t frameCount);
    // Frames handed over but not yet heard.
    long Delay();
    // Waits at most maxWait for room in the device or for a change of its state.
    void Wait(std::chrono::milliseconds maxWait);
    // Lets the device play out what it holds.
    void StartDrain();
    bool Draining();
    // Silences the device at once, dropping what it holds.
    void Drop();

private:
    struct PcmCloser {
        void operator()(snd_pcm_t* pcm) const { snd_pcm_close(pcm); }
    };
    explicit PcmOutput(snd_pcm_t* pcm) : pcm_(pcm) {}

    std::unique_ptr<snd_pcm_t, PcmCloser> pcm_;
};

} // namespace tessmar
