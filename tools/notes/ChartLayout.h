// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/notes/Take.h"

#include <cstdint>
#include <string>

namespace tessmar {

// Where things go in the note chart: time runs left to right, notes bottom to top, one row
// per semitone from just below the lowest note of the take to just above the highest.
// With the sung pitch, a detected note more than an octave away from its line (the loudest
// semitone, two or three octaves above a voice) is shown folded by whole octaves into that
// octave, so that the two can be compared where they disagree.
// In pixels; Qt-free so that the geometry can be checked on its own.
class ChartLayout {
public:
    static constexpr int kLeftMargin = 56; // note names
    static constexpr int kRightMargin = 20;
    static constexpr int kTopMargin = 30;    // legend
    static constexpr int kBottomMargin = 36; // time axis
    static constexpr int kRowHeight = 16;
    // A 3-minute take gets 12 pixels a second, half a second sung is a bar of 6 pixels;
    // short takes are stretched, long ones squeezed to fit.
    static constexpr double kPixelsPerSecond = 12.0;
    static constexpr int kMinPlotWidth = 600;
    static constexpr int kMaxPlotWidth = 2400;
    static constexpr int kMinTickSpacing = 70; // pixels between labelled times

    explicit ChartLayout(const Take& take);

    int width() const { return kLeftMargin + plotWidth_ + kRightMargin; }
    int height() const { return kTopMargin + rows() * kRowHeight + kBottomMargin; }
    int plotLeft() const { return kLeftMargin; }
    int plotTop() const { return kTopMargin; }
    int plotRight() const { return kLeftMargin + plotWidth_; }
    int plotBottom() const { return kTopMargin + rows() * kRowHeight; }

    std::int32_t lowestNote() const { return lowest_; }
    std::int32_t highestNote() const { return highest_; }
    int rows() const { return highest_ - lowest_ + 1; }
    double seconds() const { return seconds_; }

    // The row a detected note is drawn in: its own, or folded by octaves into the rows.
    std::int32_t RowOf(std::int32_t note) const;

    // x of a moment of the take.
    double X(double seconds) const;
    // x of the start of a block.
    double BlockX(std::size_t block) const;
    // y of the middle of a note's row; fractions of a note lie in between.
    double Y(double note) const;
    // Seconds between the labelled times of the time axis.
    int tickSeconds() const { return tickSeconds_; }

private:
    double seconds_ = 0.0;
    int plotWidth_ = kMinPlotWidth;
    std::int32_t lowest_ = 0;
    std::int32_t highest_ = 0;
    bool folds_ = false;
    std::int32_t bandLow_ = 0; // an octave around the sung line
    std::int32_t bandHigh_ = 0;
    int tickSeconds_ = 1;
};

// A moment as the time axis labels it: "0:05", "2:30", "1:02:00".
std::string ClockText(int seconds);

} // namespace tessmar
