// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/WaveformTrace.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace tessmar {

// The waveform view's picture of the newest block, in 32-bit pixels, drawn by hand: Qt's
// polyline stroker walks every segment in fixed point and blends span by span, which cost
// several times the rest of a block's work.
//
// The trace is as WaveformTrace describes it, a pixel wide and aliased, with pixel (x, y)
// covering [x, x + 1) x [y, y + 1). The line from (x, y[x]) to (x + 1, y[x + 1]) lies
// within column x, so column x is lit from y[x] up to, not including, y[x + 1]; the last
// column holds its own point, and rows beyond the view are left out. Qt draws the same
// line with a pixel or two placed otherwise at the turns.
class WaveformPicture {
public:
    WaveformPicture(std::uint32_t background, std::uint32_t pen)
        : background_(background), pen_(pen) {}

    // Rows from top to bottom, both included; none when top > bottom.
    struct Rows {
        int top = 0;
        int bottom = -1;
        bool Empty() const { return top > bottom; }
        Rows Union(Rows other) const {
            return Empty()         ? other
                   : other.Empty() ? *this
                                   : Rows{std::min(top, other.top), std::max(bottom, other.bottom)};
        }
    };

    // Turns the picture into this trace's, clearing no more than the last one reached,
    // and tells which rows may have changed, so that no more needs to be shown again.
    Rows Draw(const WaveformTrace& trace);

    // Rows of Width() pixels, top first.
    const std::uint32_t* Pixels() const { return pixels_.data(); }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    Rows Reached() const; // by the trace in the picture
    void DrawLine();      // the trace in the picture, in the pen

    std::uint32_t background_;
    std::uint32_t pen_;
    std::vector<std::uint32_t> pixels_;
    int width_ = 0;
    int height_ = 0;
    std::vector<int> drawn_; // the y of the trace in the picture
};

} // namespace tessmar
