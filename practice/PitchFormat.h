// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/capture/CaptureFormat.h"

#include <cstddef>

namespace tessmar {

// tessmar-pitch's own capture format. 16 kHz keeps a voice's harmonics up to 8 kHz and,
// interpolated to twice the rate for YIN, the top of a soprano within a few cents. A window
// of 1024 frames (64 ms) lets YIN look for periods up to 32 ms, and holds two periods of
// C-1 (65.4 Hz, a bass's lowest notes) and four of C-2 in its half that YIN compares. A
// hop of 800 frames (50 ms) gives 20 updates a second; each window overlaps the last. The
// device's period is one hop, so that it wakes the program once a hop.
inline constexpr int kPitchRate = 16000;
inline constexpr int kPitchWindowFrames = 1024;
inline constexpr std::size_t kPitchHopFrames = 800;
inline constexpr CaptureTiming kPitchTiming{kPitchRate, kPitchHopFrames};

} // namespace tessmar
