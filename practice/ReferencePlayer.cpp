// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/ReferencePlayer.h"

#include "platform/playback/PcmOutput.h"
#include "platform/system/ProgramName.h"
#include "platform/threads/SlowCall.h"
#include "practice/ReferenceTone.h"

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <thread>

namespace tessmar {

ReferencePlayer::ReferencePlayer(double concertA) : concertA_(concertA) {
    const char* name = std::getenv("TESSMAR_OUTPUT");
    output_ = name && *name ? name : "default";
}

ReferencePlayer::~ReferencePlayer() = default; // the jthread stops and joins

void ReferencePlayer::Play(std::int32_t note) {
    thread_ = std::jthread([this, note](std::stop_token stop) { Run(stop, note); });
}

void ReferencePlayer::Run(std::stop_token stop, std::int32_t note) {
    using namespace std::chrono_literals;
    // A stopped sound server can keep the open waiting for half a minute: the next tone, or
    // the program's end, leaves it behind rather than waiting for it.
    auto opened = RunAside<std::shared_ptr<PcmOutput>>(
        [name = output_] {
            mci::Error error = mci::MMSYSERR_NOERROR;
            return std::shared_ptr<PcmOutput>(
                PcmOutput::Open(name, 2, ReferenceTone::kRate, error));
        },
        [&stop](std::chrono::milliseconds) {
            std::this_thread::sleep_for(20ms);
            return !stop.stop_requested();
        });
    if (!opened) {
        return;
    }
    const std::shared_ptr<PcmOutput> output = *opened;
    if (!output) {
        std::cerr << ProgramName() << ": Das Wiedergabegerät „" << output_
                  << "“ lässt sich nicht öffnen.\n";
        return;
    }
    const std::vector<std::int16_t> tone =
        ReferenceTone::Render(note, ReferenceTone::kRate, concertA_);
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
