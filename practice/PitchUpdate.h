// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace tessmar {

// What one analysed window shows.
struct PitchUpdate {
    double seconds = 0.0;         // capture time of the window's last frame, from the first frame
    double hz = 0.0;              // this window's estimate; 0: no clear pitch
    std::int32_t note = -1;       // the note heard (HeardPitch; A-3 = 45), -1 without pitch
    double cents = 0.0;           // from note, -70 .. +70: the pitch held, not this estimate
    double levelDbfs = -120.0;    // RMS of the window's left channel; a full-scale square is 0
    bool clipped = false;         // a sample at full scale in the newest hop
    std::int64_t filledAt = 0;    // steady clock (ns) when the device handed back the last frame
    std::int64_t estimatedAt = 0; // steady clock (ns) when the estimate was done
};

} // namespace tessmar
