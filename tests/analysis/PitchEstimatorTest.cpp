// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/PitchEstimator.h"

#include "analysis/NoteNaming.h"
#include "analysis/SemitoneDetector.h"
#include "analysis/SungPitch.h"
#include "platform/capture/CaptureFormat.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <random>
#include <vector>

namespace tessmar {
namespace {

// One block of a tone with its second harmonic, both channels alike, starting `offset`
// frames into the tone so that blocks do not all begin at the same phase.
std::vector<std::int16_t> ToneBlock(double hz, double fundamental, double second, int offset = 0) {
    std::vector<std::int16_t> frames(kBlockFrames * kChannels);
    for (int k = 0; k < kBlockFrames; ++k) {
        const double t = double(k + offset) / kSampleRate;
        const double v = fundamental * std::sin(2 * std::numbers::pi * hz * t) +
                         second * std::sin(2 * std::numbers::pi * 2 * hz * t + 0.7);
        frames[2 * k] = frames[2 * k + 1] = std::int16_t(std::lround(v));
    }
    return frames;
}

std::int32_t Detect(const std::vector<std::int16_t>& frames) {
    std::vector<std::uint8_t> bytes(kBlockBytes);
    for (std::size_t i = 0; i < frames.size(); ++i) {
        bytes[2 * i] = std::uint8_t(std::uint16_t(frames[i]));
        bytes[2 * i + 1] = std::uint8_t(std::uint16_t(frames[i]) >> 8);
    }
    return DetectNote(bytes.data());
}

// Notes from A-1 (110 Hz) to A-4 (880 Hz), each sung a little off: the sung note and the
// cents it is off.
struct SungNote {
    std::int32_t note;
    double cents;
    double hz() const { return 440.0 * std::pow(2.0, (note - 45 + cents / 100.0) / 12.0); }
};
std::vector<SungNote> SungNotes() {
    std::vector<SungNote> notes;
    const double offsets[] = {0.0, 17.0, -23.0, 38.0, -41.0, 8.0, -4.0};
    for (std::int32_t note = 21, i = 0; note <= 57; note += 3, ++i) {
        notes.push_back({note, offsets[i % 7]});
    }
    notes.push_back({57, 0.0}); // 880 Hz itself
    return notes;
}

TEST(PitchEstimator, PureTonesToWithinFiveCents) {
    PitchEstimator estimator;
    for (const SungNote& sung : SungNotes()) {
        for (const int offset : {0, 333, 5000}) {
            const double hz = estimator.Estimate(ToneBlock(sung.hz(), 6000, 0, offset).data());
            ASSERT_GT(hz, 0.0) << sung.hz();
            const SungPitch pitch = SungPitch::FromHz(hz);
            EXPECT_EQ(NoteName(pitch.nearest), NoteName(sung.note)) << sung.hz();
            EXPECT_NEAR(pitch.cents, sung.cents, 5.0) << sung.hz();
        }
    }
}

// The louder second harmonic makes the note display name the octave above; the pitch is
// still the sung note, even where the fundamental is a quarter of it (a tenor's ä or
// schwa), which repeats nearly as well after half its period.
TEST(PitchEstimator, StrongSecondHarmonicStillGivesTheSungNote) {
    PitchEstimator estimator;
    for (SungNote sung : SungNotes()) {
        // Off by less, so that the harmonic stays within the detector's idea of its note.
        sung.cents /= 2;
        const double fundamental = sung.note % 2 == 0 ? 2000 : 1400;
        const auto block = ToneBlock(sung.hz(), fundamental, 5600, 123);
        EXPECT_EQ(Detect(block), sung.note + 12) << sung.hz();
        const double hz = estimator.Estimate(block.data());
        ASSERT_GT(hz, 0.0) << sung.hz();
        const SungPitch pitch = SungPitch::FromHz(hz);
        EXPECT_EQ(pitch.nearest, sung.note) << sung.hz();
        EXPECT_NEAR(pitch.cents, sung.cents, 5.0) << sung.hz();
    }
}

// Three voices 15 cents apart, breath 9 dB under them, in the pitch window's format: YIN
// finds no dip under its tolerance, and its deepest is the pitch.
TEST(PitchEstimator, ABreathyChoirStillHasItsPitch) {
    PitchEstimator estimator(16000, 1024);
    std::mt19937 rng(7);
    std::normal_distribution<double> breath(0.0, 550.0);
    for (const double hz : {82.4, 110.0, 146.8, 196.0, 261.6}) {
        std::vector<std::int16_t> frames(2 * 1024);
        for (int k = 0; k < 1024; ++k) {
            double v = breath(rng);
            for (const double cents : {-15.0, 0.0, 15.0}) {
                const double phase =
                    2 * std::numbers::pi * hz * std::exp2(cents / 1200) * k / 16000;
                for (int h = 1; h <= 12; ++h) {
                    v += 1000.0 / h * std::sin(h * (phase + cents)); // each voice its own phases
                }
            }
            frames[2 * k] = std::int16_t(std::lround(v));
        }
        EXPECT_NEAR(1200.0 * std::log2(estimator.Estimate(frames.data()) / hz), 0.0, 20.0) << hz;
    }
}

TEST(PitchEstimator, NoClearPitchInSilenceNoiseOrTheRightChannel) {
    PitchEstimator estimator;
    std::vector<std::int16_t> frames(kBlockFrames * kChannels, 0);
    EXPECT_EQ(estimator.Estimate(frames.data()), 0.0);

    std::mt19937 rng(3);
    std::uniform_int_distribution<int> noise(-8000, 8000);
    for (int round = 0; round < 5; ++round) {
        for (auto& s : frames) {
            s = std::int16_t(noise(rng));
        }
        EXPECT_EQ(estimator.Estimate(frames.data()), 0.0) << round;
    }

    frames = ToneBlock(440, 6000, 0);
    for (int k = 0; k < kBlockFrames; ++k) {
        frames[2 * k] = 0;
    }
    EXPECT_EQ(estimator.Estimate(frames.data()), 0.0) << "like the detector, left only";
    // The estimator keeps nothing from block to block.
    EXPECT_NEAR(estimator.Estimate(ToneBlock(440, 6000, 0).data()), 440.0, 1.0);
}

TEST(SungPitch, NearestNoteAndCents) {
    const SungPitch a = SungPitch::FromHz(440.0);
    EXPECT_EQ(a.nearest, 45);
    EXPECT_NEAR(a.cents, 0.0, 1e-9);
    const SungPitch high = SungPitch::FromHz(440.0 * std::pow(2.0, 0.49 / 12));
    EXPECT_EQ(high.nearest, 45);
    EXPECT_NEAR(high.cents, 49.0, 1e-6);
    const SungPitch low = SungPitch::FromHz(440.0 * std::pow(2.0, 0.51 / 12));
    EXPECT_EQ(low.nearest, 46);
    EXPECT_NEAR(low.cents, -49.0, 1e-6);
    EXPECT_EQ(SungPitch::FromHz(NoteFrequencies[0]).nearest, 0);   // C-0
    EXPECT_EQ(SungPitch::FromHz(NoteFrequencies[59]).nearest, 59); // H-4
    EXPECT_LT(SungPitch::FromHz(27.5).nearest, 0);
}

} // namespace
} // namespace tessmar
