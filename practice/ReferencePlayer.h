// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/SungPitch.h"

#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace tessmar {

// Plays reference tones on the ALSA output TESSMAR_OUTPUT names (else "default"), as the
// main window's playback does, on a thread of its own so that the window never waits for
// the device. A new tone cuts the one playing short.
class ReferencePlayer {
public:
    explicit ReferencePlayer(double concertA = kConcertA);
    ~ReferencePlayer();
    ReferencePlayer(const ReferencePlayer&) = delete;
    ReferencePlayer& operator=(const ReferencePlayer&) = delete;

    static constexpr int kRate = 44100;
    static constexpr std::size_t kPlacings = 15; // refinements of when the sound was heard
    // The output's buffer: the sounds are known ahead, so a long one costs no latency and
    // wakes the player and the sound server's client thread less often.
    static constexpr unsigned kLatencyMicroseconds = 500000;

    void Play(std::int32_t note);
    // Plays interleaved 16-bit stereo frames at kRate. started is told, on the player's
    // thread, the steady time (ns) the device plays the first of them: at the first write,
    // then more surely as the device counts what it has played.
    void PlayFrames(std::vector<std::int16_t> frames,
                    std::function<void(std::int64_t)> started = {});
    // Renders frames [from, from + count) into silence, on the player's thread.
    using Source = std::function<void(std::size_t from, std::int16_t* out, std::size_t count)>;
    // Plays `frames` frames made by source as they are needed, as PlayFrames does.
    void PlayMade(std::size_t frames, Source source, std::function<void(std::int64_t)> started);
    // Plays one channel of 16-bit frames at rate, as PlayFrames does: a take replayed.
    void PlayMono(std::vector<std::int16_t> frames, int rate,
                  std::function<void(std::int64_t)> started);
    // Silences what plays.
    void Stop() { thread_ = {}; }
    double concertA() const { return concertA_; }

private:
    void Run(std::stop_token stop, std::size_t frames, const Source& source,
             const std::function<void(std::int64_t)>& started);

    std::string output_;
    double concertA_;
    std::jthread thread_;
};

} // namespace tessmar
