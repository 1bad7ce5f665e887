// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/capture/WaveformPicture.h"

#include <algorithm>
#include <cstddef>

namespace tessmar {

WaveformPicture::Rows WaveformPicture::Draw(const WaveformTrace& trace) {
    const int width = std::max(trace.width, 0);
    const int height = std::max(trace.height, 0);
    Rows changed = Reached();
    if (width != width_ || height != height_) {
        width_ = width;
        height_ = height;
        pixels_.assign(std::size_t(width) * std::size_t(height), background_);
        changed = {0, height - 1};
    } else if (!changed.Empty()) {
        // Clearing the rows the last trace reached costs less than retracing it.
        std::fill(pixels_.begin() + std::ptrdiff_t(changed.top) * width,
                  pixels_.begin() + std::ptrdiff_t(changed.bottom + 1) * width, background_);
    }
    drawn_.assign(trace.y.begin(),
                  trace.y.begin() + std::min<std::ptrdiff_t>(std::ssize(trace.y), width));
    DrawLine();
    return changed.Union(Reached());
}

WaveformPicture::Rows WaveformPicture::Reached() const {
    if (drawn_.empty() || height_ == 0) {
        return {};
    }
    const auto [low, high] = std::minmax_element(drawn_.begin(), drawn_.end());
    return {std::clamp(*low, 0, height_ - 1), std::clamp(*high, 0, height_ - 1)};
}

void WaveformPicture::DrawLine() {
    // Locals, since a pixel store may alias the members as far as the compiler knows.
    const std::vector<int>& y = drawn_;
    const std::uint32_t colour = pen_;
    std::uint32_t* const pixels = pixels_.data();
    const std::ptrdiff_t stride = width_;
    const int lastRow = height_ - 1;
    const std::size_t points = y.size();
    for (std::size_t x = 0; x < points; ++x) {
        const int from = y[x];
        const int to = x + 1 < points ? y[x + 1] : from;
        // The rows from `from` towards `to`; the row of `to` is the next column's.
        int top = std::min(from, to);
        int bottom = std::max(from, to);
        if (from < to) {
            --bottom;
        } else if (from > to) {
            ++top;
        }
        top = std::max(top, 0);
        bottom = std::min(bottom, lastRow);
        std::uint32_t* pixel = pixels + top * stride + std::ptrdiff_t(x);
        for (int row = top; row <= bottom; ++row, pixel += stride) {
            *pixel = colour;
        }
    }
}

} // namespace tessmar
