// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/capture/CaptureFormat.h"

#include <array>
#include <cstdint>

namespace tessmar {

inline constexpr std::int32_t kNoteCount = 128;
inline constexpr std::int32_t kFftLog2Size = 10;
inline constexpr std::int32_t kFftSize = 1 << kFftLog2Size;
inline constexpr std::int32_t kBinCount = kFftSize / 2; // bins above Nyquist are ignored
inline constexpr double kLowestMappedHz = 31.5;
inline constexpr double kMappedLimitHz = 50176.0; // exclusive
inline constexpr double kDetectionThreshold = 500.0;

static_assert(kBlockFrames == kFftSize, "one transform covers exactly one capture block");

// Base frequencies of octave 0 in pitch-class order, C .. H. These are the values the
// note display has always used, not ones derived from equal temperament.
inline constexpr std::array<double, 12> NoteTable = {
    32.70625, 34.65, 36.7125, 38.8875, 41.2, 43.65, 46.25, 49.0, 51.9125, 55.0, 58.275, 61.7375};

namespace detail {

constexpr std::array<double, kNoteCount> MakeNoteFrequencies() {
    std::array<double, kNoteCount> result{};
    for (std::int32_t c = 0; c < kNoteCount; ++c) {
        double f = NoteTable[c % 12];
        for (std::int32_t octave = 0; octave < c / 12; ++octave) {
            f *= 2.0;
        }
        result[c] = f;
    }
    return result;
}

constexpr double Distance(double a, double b) {
    return a < b ? b - a : a - b;
}

constexpr std::array<std::int32_t, kBinCount>
MakeBinNoteMap(const std::array<double, kNoteCount>& frequencies) {
    std::array<std::int32_t, kBinCount> result{};
    for (std::int32_t i = 0; i < kBinCount; ++i) {
        const double f = double(i) / kFftSize * kSampleRate;
        std::int32_t best = -1;
        if (f >= kLowestMappedHz && f < kMappedLimitHz) {
            double bestDistance = 1000000.0;
            for (std::int32_t c = 0; c < kNoteCount; ++c) {
                const double d = Distance(frequencies[c], f);
                if (d < bestDistance) { // strict: the lower note wins a tie
                    bestDistance = d;
                    best = c;
                }
            }
        }
        result[i] = best;
    }
    return result;
}

} // namespace detail

// Frequency of every NoteIndex: NoteTable doubled once per octave.
inline constexpr std::array<double, kNoteCount> NoteFrequencies = detail::MakeNoteFrequencies();

// Nearest NoteIndex for every used FFT bin, -1 outside the mapped window. It depends on
// constants only, so it is computed once, at compile time.
inline constexpr std::array<std::int32_t, kBinCount> BinNoteMap =
    detail::MakeBinNoteMap(NoteFrequencies);

// Per-note sum of the magnitudes of the bins mapped to that note.
using NoteSums = std::array<double, kNoteCount>;

// Transforms the left channel of one capture block (kBlockBytes of 16-bit stereo) and sums
// the bin magnitudes per note. Reads only the left sample bytes of the block.
NoteSums ComputeNoteSums(const std::uint8_t* block);

// The note with the greatest sum if that sum exceeds kDetectionThreshold, the lower
// NoteIndex on a tie; otherwise -1.
std::int32_t PickWinner(const NoteSums& sums);

// The loudest semitone of one capture block, or -1 when nothing is loud enough.
std::int32_t DetectNote(const std::uint8_t* block);

} // namespace tessmar
