// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/notes/ChartLayout.h"

#include "analysis/SungPitch.h"
#include "platform/capture/CaptureFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tessmar {
namespace {

constexpr std::int32_t kHighestNote = 127;
// Where a take without any note puts its rows: around A-3.
constexpr std::int32_t kDefaultNote = 45;

} // namespace

ChartLayout::ChartLayout(const Take& take) {
    seconds_ = double(take.notes.size()) * kBlockFrames / kSampleRate;
    plotWidth_ =
        std::clamp(int(std::lround(seconds_ * kPixelsPerSecond)), kMinPlotWidth, kMaxPlotWidth);

    std::int32_t low = kHighestNote + 1;
    std::int32_t high = -1;
    auto include = [&](std::int32_t note) {
        if (note >= 0 && note <= kHighestNote) {
            low = std::min(low, note);
            high = std::max(high, note);
        }
    };
    for (const double hz : take.pitchHz) {
        if (hz > 0.0) {
            include(SungPitch::FromHz(hz).nearest);
        }
    }
    // Within an octave of the sung line a detected note keeps its row; farther off it is
    // folded into that band.
    folds_ = high >= 0;
    bandLow_ = low - 12;
    bandHigh_ = high + 12;
    for (const std::int32_t note : take.notes) {
        include(note >= 0 ? RowOf(note) : note);
    }
    if (high < 0) {
        low = high = kDefaultNote;
    }
    // A row of room on either side, so that no bar touches the frame.
    lowest_ = std::max(0, low - 1);
    highest_ = std::min(kHighestNote, high + 1);

    static constexpr int kSteps[] = {1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600};
    const double pixelsPerSecond = plotWidth_ / std::max(seconds_, 1e-9);
    tickSeconds_ = kSteps[std::size(kSteps) - 1];
    for (const int step : kSteps) {
        if (step * pixelsPerSecond >= kMinTickSpacing) {
            tickSeconds_ = step;
            break;
        }
    }
}

std::int32_t ChartLayout::RowOf(std::int32_t note) const {
    if (!folds_) {
        return note;
    }
    while (note > bandHigh_) {
        note -= 12;
    }
    while (note < bandLow_) {
        note += 12;
    }
    return note;
}

double ChartLayout::X(double seconds) const {
    return seconds_ > 0.0 ? plotLeft() + seconds / seconds_ * plotWidth_ : plotLeft();
}

double ChartLayout::BlockX(std::size_t block) const {
    return X(double(block) * kBlockFrames / kSampleRate);
}

double ChartLayout::Y(double note) const {
    return plotBottom() - (note - lowest_ + 0.5) * kRowHeight;
}

std::string ClockText(int seconds) {
    char text[32];
    if (seconds >= 3600) {
        std::snprintf(text, sizeof text, "%d:%02d:%02d", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    } else {
        std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    }
    return text;
}

} // namespace tessmar
