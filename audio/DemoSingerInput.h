// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/DemoSinger.h"
#include "platform/capture/LinuxWaveIn.h"

namespace tessmar {

// The built-in singer as the recording device's input, for the program and the tools to
// wire in: each open sings from the first note with a singer of its own, at the rate given.
inline LinuxWaveIn::SingerFactory DemoSingerInput(int rate = kSampleRate) {
    return [rate] {
        return PacedCaptureSource::Render(
            [singer = DemoSinger(rate)](std::int16_t* frames, std::size_t count) mutable {
                singer.Render(frames, count);
            });
    };
}

} // namespace tessmar
