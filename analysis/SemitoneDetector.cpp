// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/SemitoneDetector.h"

#include "analysis/FFT.h"

#include <cmath>

namespace tessmar {
namespace {

// Bins 0..2 lie below the mapped window and every bin above is mapped; the magnitude
// loop starts here rather than testing each bin.
constexpr std::int32_t kFirstMappedBin = 3;
static_assert(BinNoteMap[kFirstMappedBin - 1] == -1 && BinNoteMap[kFirstMappedBin] == 0);
static_assert(BinNoteMap[kBinCount - 1] == 89);

constexpr bool EveryBinFromFirstMapped() {
    for (std::int32_t i = kFirstMappedBin; i < kBinCount; ++i) {
        if (BinNoteMap[i] < 0) {
            return false;
        }
    }
    return true;
}
static_assert(EveryBinFromFirstMapped());

} // namespace

NoteSums ComputeNoteSums(const std::uint8_t* block) {
    alignas(64) double re[kFftSize];
    alignas(64) double im[kFftSize];
    for (std::int32_t k = 0; k < kFftSize; ++k) {
        const std::uint8_t* frame = block + k * kFrameBytes;
        re[k] = static_cast<std::int16_t>(frame[0] | frame[1] << 8);
        im[k] = 0.0;
    }
    FFT(1, kFftLog2Size, re, im);

    NoteSums sums{};
    for (std::int32_t l = kFirstMappedBin; l < kBinCount; ++l) {
        sums[BinNoteMap[l]] += std::sqrt(re[l] * re[l] + im[l] * im[l]);
    }
    return sums;
}

std::int32_t PickWinner(const NoteSums& sums) {
    std::int32_t best = -1;
    double greatest = 0.0;
    for (std::int32_t c = 0; c < kNoteCount; ++c) {
        if (sums[c] > greatest && sums[c] > kDetectionThreshold) {
            greatest = sums[c];
            best = c;
        }
    }
    return best;
}

std::int32_t DetectNote(const std::uint8_t* block) {
    return PickWinner(ComputeNoteSums(block));
}

} // namespace tessmar
