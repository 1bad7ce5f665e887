// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "analysis/SungPitch.h"

#include <cstdint>
#include <string>
#include <thread>

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

    void Play(std::int32_t note);
    double concertA() const { return concertA_; }

private:
    void Run(std::stop_token stop, std::int32_t note);

    std::string output_;
    double concertA_;
    std::jthread thread_;
};

} // namespace tessmar
