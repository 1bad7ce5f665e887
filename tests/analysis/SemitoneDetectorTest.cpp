// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/SemitoneDetector.h"

#include "analysis/TestTones.h"

#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <numbers>
#include <random>

namespace tessmar {
namespace {

using test::BinCosine;
using test::MakeBlock;

TEST(NoteTables, FrequenciesAndSpotValuesOfTheBinMap) {
    EXPECT_EQ(NoteFrequencies[0], 32.70625);
    EXPECT_EQ(NoteFrequencies[45], 440.0);
    EXPECT_EQ(NoteFrequencies[127], 50176.0);
    EXPECT_EQ(NoteFrequencies[4], 41.2);

    EXPECT_EQ(BinNoteMap[0], -1);
    EXPECT_EQ(BinNoteMap[2], -1);
    EXPECT_EQ(BinNoteMap[3], 0);
    EXPECT_EQ(BinNoteMap[4], 5);
    EXPECT_EQ(BinNoteMap[5], 9);
    for (int bin : {40, 41, 42}) {
        EXPECT_EQ(BinNoteMap[bin], 45) << bin;
    }
    for (int bin = 505; bin <= 511; ++bin) {
        EXPECT_EQ(BinNoteMap[bin], 89) << bin;
    }
    for (int bin = 477; bin <= 504; ++bin) {
        EXPECT_EQ(BinNoteMap[bin], 88) << bin; // E-7 owns 28 bins
    }
    for (int bin = 0; bin < kBinCount; ++bin) {
        EXPECT_NE(BinNoteMap[bin], 1);
        EXPECT_LT(BinNoteMap[bin], 90);
    }
}

// Straightforward note sums: a plain DFT of the left channel and the bin map.
NoteSums ReferenceSums(const test::Block& block) {
    NoteSums sums{};
    for (int l = 0; l < kBinCount; ++l) {
        std::complex<long double> x = 0;
        for (int k = 0; k < kFftSize; ++k) {
            const auto s = static_cast<std::int16_t>(block[4 * k] | block[4 * k + 1] << 8);
            x += (long double)s *
                 std::polar(1.0L, -2 * std::numbers::pi_v<long double> * ((l * k) % 1024) / 1024);
        }
        if (BinNoteMap[l] >= 0) {
            sums[BinNoteMap[l]] += double(std::abs(x) / 1024);
        }
    }
    return sums;
}

TEST(SemitoneDetector, SumsAgreeWithAPlainTransformOnNoise) {
    std::mt19937 rng(3);
    std::normal_distribution<double> noise(0.0, 6000.0);
    const auto block = MakeBlock([&](int) { return noise(rng); }, [&](int) { return noise(rng); });
    const NoteSums expected = ReferenceSums(block);
    const NoteSums actual = ComputeNoteSums(block.data());
    for (int c = 0; c < kNoteCount; ++c) {
        EXPECT_NEAR(actual[c], expected[c], 1e-9 * (1 + expected[c])) << "note " << c;
    }
}

TEST(SemitoneDetector, BinCentredTones) {
    struct Case {
        double bin;
        std::int32_t note;
    };
    for (const Case c : {Case{41, 45}, Case{3, 0}, Case{4, 5}, Case{511, 89}, Case{100, 60},
                         Case{2, -1}, Case{512, -1}}) {
        EXPECT_EQ(DetectNote(MakeBlock(BinCosine(2000, c.bin)).data()), c.note) << "bin " << c.bin;
    }
    const NoteSums sums = ComputeNoteSums(MakeBlock(BinCosine(2000, 41)).data());
    EXPECT_NEAR(sums[45], 1000.0, 1.0);
}

TEST(SemitoneDetector, ThresholdIsStrictlyAboveFiveHundred) {
    // A bin-centred cosine of amplitude A gives a sum of about A/2.
    EXPECT_EQ(DetectNote(MakeBlock(BinCosine(1010, 41)).data()), 45);
    EXPECT_EQ(DetectNote(MakeBlock(BinCosine(990, 41)).data()), -1);
    EXPECT_EQ(DetectNote(MakeBlock(BinCosine(900, 41)).data()), -1);
}

TEST(SemitoneDetector, ToneBetweenBinsIsFoundByItsNearestNote) {
    auto sine = [](double amplitude) {
        return [=](int k) { return amplitude * std::sin(2 * std::numbers::pi * 440 * k / 11025); };
    };
    const NoteSums loud = ComputeNoteSums(MakeBlock(sine(1000)).data());
    EXPECT_NEAR(loud[45], 617, 5);
    EXPECT_EQ(PickWinner(loud), 45);
    EXPECT_EQ(DetectNote(MakeBlock(sine(500)).data()), -1);
}

TEST(SemitoneDetector, OnlyTheLeftChannelCounts) {
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> noise(-30000, 30000);
    const auto left = BinCosine(2000, 41);
    const NoteSums quietRight = ComputeNoteSums(MakeBlock(left).data());
    const NoteSums noisyRight =
        ComputeNoteSums(MakeBlock(left, [&](int) { return noise(rng); }).data());
    EXPECT_EQ(quietRight, noisyRight);
    EXPECT_EQ(DetectNote(MakeBlock([](int) { return 0.0; }, left).data()), -1);
}

TEST(SemitoneDetector, SilenceAndConstantsShowNoNote) {
    const NoteSums silent = ComputeNoteSums(MakeBlock([](int) { return 0.0; }).data());
    EXPECT_EQ(silent, NoteSums{});
    EXPECT_EQ(PickWinner(silent), -1);
    for (double level : {-32768.0, 1.0, 32767.0}) {
        EXPECT_EQ(DetectNote(MakeBlock([=](int) { return level; }).data()), -1) << level;
    }
}

TEST(SemitoneDetector, WinnerRule) {
    NoteSums sums{};
    sums[45] = sums[57] = 800.0;
    sums[30] = 799.0;
    EXPECT_EQ(PickWinner(sums), 45) << "the lower note wins a tie";
    sums = {};
    sums[45] = 500.0;
    EXPECT_EQ(PickWinner(sums), -1) << "exactly the threshold never wins";
    sums[89] = std::nextafter(500.0, 1000.0);
    EXPECT_EQ(PickWinner(sums), 89);
}

} // namespace
} // namespace tessmar
