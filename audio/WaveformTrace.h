// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace tessmar {

// What one block leaves in the waveform view: the view cleared to the background, then,
// unless y is empty, a line from (x - 1, previous y) to (x, y[x]) for every x, starting
// from the midline at x = -1.
struct WaveformTrace {
    int width = 0;
    int height = 0;
    std::vector<int> y;
    // When the device handed the block back (steady clock, ns; 0: not known), for the
    // note latency the benchmark measures.
    std::int64_t filledAt = 0;
};

// The trace of the newest block (n bytes of 16-bit stereo, left channel drawn) on a view
// of width x height pixels: one frame every (n / 4) / width frames, the full 16-bit range
// spread over the height with positive samples below the midline. A block of no more bytes
// than the view has pixels only clears it.
WaveformTrace TraceBlock(const std::uint8_t* block, std::uint32_t n, int width, int height);
// The same into an existing trace, whose memory is reused: no allocation once it has room
// for `width` points.
void TraceBlock(const std::uint8_t* block, std::uint32_t n, int width, int height,
                WaveformTrace& into);

} // namespace tessmar
