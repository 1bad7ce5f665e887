// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/ReferencePlayer.h"

#include "platform/playback/PcmOutput.h"
#include "practice/ReferenceTone.h"

#include <chrono>
#include <cstdlib>
#include <iostream>

namespace tessmar {

ReferencePlayer::ReferencePlayer() {
    const char* name = std::getenv("TESSMAR_OUTPUT");
    output_ = name && *name ? name : "default";
}

ReferencePlayer::~ReferencePlayer() = default; // the jthread stops and joins

void ReferencePlayer::Play(std::int32_t note) {
    thread_ = std::jthread([this, note](std::stop_token stop) { Run(stop, note); });
}

void ReferencePlayer::Run(std::stop_token stop, std::int32_t note) {
    using namespace std::chrono_literals;
    mci::Error error = mci::MMSYSERR_NOERROR;
    const auto output = PcmOutput::Open(output_, 2, ReferenceTone::kRate, error);
    if (!output) {
        std::cerr << "tessmar-pitch: Das Wiedergabegerät „" << output_
                  << "“ lässt sich nicht öffnen.\n";
        return;
    }
    const std::vector<std::int16_t> tone = ReferenceTone::Render(note);
    const std::size_t frames = tone.size() / 2;
    std::size_t done = 0;
    while (done < frames && !stop.stop_requested()) {
        const long n = output->Write(tone.data() + 2 * done, frames - done);
        if (n < 0) {
            return;
        }
        done += std::size_t(n);
        if (n == 0) {
            output->Wait(50ms);
        }
    }
    output->StartDrain();
    while (!stop.stop_requested() && output->Draining()) {
        output->Wait(50ms);
    }
}

} // namespace tessmar
