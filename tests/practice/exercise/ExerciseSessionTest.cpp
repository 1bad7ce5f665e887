// SPDX-License-Identifier: GPL-3.0-or-later
// The exercise as the window runs it: its settings kept, its place in a voice's range, its
// sound, and the result in words.
#include "practice/exercise/ExerciseSession.h"

#include "practice/exercise/ExerciseSettings.h"
#include "practice/exercise/ExerciseSound.h"
#include "practice/exercise/RangeTest.h"
#include "support/FakeProfile.h"

#include <gtest/gtest.h>

namespace tessmar {
namespace {

TEST(ExerciseSettings, KeptBetweenRunsAndForgivingOfAnEditedFile) {
    test::FakeProfile profile;
    ExerciseSettings s;
    s.exercise = {Exercise::Kind::Dreiklang, 29, 7, 96, -1};
    s.toleranceCents = 10;
    s.reference = ExerciseSound::Reference::Mit;
    s.concertA = 443;
    s.voice = "Alt";
    s.delayMs = 85;
    const std::string pair = ExerciseSettings::DevicePair("file:/a b=c\n[x]", nullptr);
    EXPECT_EQ(pair, "file:/a_b_c__x_>default") << "nothing that ends an INI key";
    ASSERT_TRUE(s.Save(profile, pair));
    const ExerciseSettings back = ExerciseSettings::Load(profile, pair);
    EXPECT_EQ(back.exercise.kind, Exercise::Kind::Dreiklang);
    EXPECT_EQ(back.exercise.start, 29);
    EXPECT_EQ(back.exercise.rounds, 7);
    EXPECT_EQ(back.exercise.bpm, 96);
    EXPECT_EQ(back.exercise.step, -1);
    EXPECT_EQ(back.toleranceCents, 10);
    EXPECT_EQ(back.reference, ExerciseSound::Reference::Mit);
    EXPECT_EQ(back.concertA, 443);
    EXPECT_EQ(back.voice, "Alt");
    EXPECT_EQ(back.delayMs, 85);
    s.voice = ExerciseSettings::kOwnRange;
    s.lowest = 28;
    s.highest = 50;
    ASSERT_TRUE(s.Save(profile, pair));
    const ExerciseSettings own = ExerciseSettings::Load(profile, pair);
    EXPECT_EQ(own.voice, "Umfang");
    EXPECT_EQ(own.lowest, 28);
    EXPECT_EQ(own.highest, 50);
    EXPECT_EQ(ExerciseSettings::Load(profile, "alsa:hw:1>default").delayMs, 0)
        << "the delay belongs to its input and output";

    for (const auto& [key, value] : {std::pair{"Runden", "0"},
                                     {"Tempo", "80x"},
                                     {"Toleranz", "300"},
                                     {"Grundton", "X-3"},
                                     {"Kammerton", "500"},
                                     {"Stimme", "Bässe"}}) {
        profile.values[std::string("Uebung/") + key] = value;
    }
    const ExerciseSettings fallback = ExerciseSettings::Load(profile, pair);
    const ExerciseSettings defaults;
    EXPECT_EQ(fallback.exercise.rounds, defaults.exercise.rounds);
    EXPECT_EQ(fallback.exercise.bpm, defaults.exercise.bpm);
    EXPECT_EQ(fallback.toleranceCents, 50);
    EXPECT_EQ(fallback.exercise.start, defaults.exercise.start);
    EXPECT_EQ(fallback.concertA, 440);
    EXPECT_EQ(fallback.voice, "");
}

TEST(ExerciseSettings, AVoiceTypeKeepsEveryNoteInItsRange) {
    for (const auto& voice : ExerciseSettings::kVoices) {
        for (const auto kind : {Exercise::Kind::Treffen, Exercise::Kind::Tonleiter,
                                Exercise::Kind::Dreiklang, Exercise::Kind::Intervall}) {
            for (const int step : {1, -1}) {
                Exercise e{kind, 0, 24, 80, step};
                ExerciseSettings::FitTo(voice, e);
                EXPECT_GE(e.rounds, 5) << voice.name;
                for (const TargetNote& t : e.Targets()) {
                    EXPECT_GE(t.note, voice.lowest) << voice.name;
                    EXPECT_LE(t.note, voice.highest) << voice.name;
                }
            }
        }
    }
}

TEST(ExerciseSound, TheReferenceBeforeOrAlongTheTargets) {
    Exercise e{Exercise::Kind::Tonleiter, 36, 2, 120, 1};
    constexpr int kRate = 8000;
    const auto loud = [](const std::vector<std::int16_t>& s, double from, double to) {
        int peak = 0;
        for (auto k = std::size_t(from * kRate); k < std::size_t(to * kRate); ++k) {
            peak = std::max(peak, std::abs(int(s[2 * k])));
        }
        return peak > 1000;
    };
    const auto targets = e.Targets();
    // Made in stretches of an odd length, as the player asks for them.
    const auto made = [&e](ExerciseSound::Reference reference) {
        const ExerciseSound sound(e, reference, kRate, 440);
        std::vector<std::int16_t> all(2 * sound.frames(), 0);
        for (std::size_t from = 0; from < sound.frames(); from += 1001) {
            sound.Render(from, &all[2 * from], std::min<std::size_t>(1001, sound.frames() - from));
        }
        return all;
    };
    const auto before = made(ExerciseSound::Reference::Vorher);
    const auto along = made(ExerciseSound::Reference::Mit);
    const auto none = made(ExerciseSound::Reference::Aus);
    EXPECT_TRUE(loud(none, 0.0, 0.05)) << "the count-in's first tick";
    EXPECT_FALSE(loud(none, 0.1, 0.5));
    EXPECT_TRUE(loud(before, targets[9].start - 0.4, targets[9].start - 0.1)) << "round two's key";
    EXPECT_FALSE(loud(before, targets[1].start + 0.1, targets[1].end - 0.1)) << "the singer's turn";
    EXPECT_TRUE(loud(along, targets[1].start + 0.1, targets[1].end - 0.1));
}

TEST(ExerciseSession, TheResultInWordsAndPlacedAnew) {
    NoteScore s;
    s.target = {40, 0.0, 1.0};
    EXPECT_EQ(ExerciseSession::Describe(2, s), "3. Ton (E-3): nicht gesungen");
    s.meanCents = -18.4;
    s.onsetMs = 40.0;
    s.inTunePct = 100.0;
    EXPECT_EQ(ExerciseSession::Describe(2, s), "3. Ton (E-3): 18 Cent zu tief");
    s.meanCents = 31.0;
    s.onsetMs.reset();
    EXPECT_EQ(ExerciseSession::Describe(0, s),
              "1. Ton (E-3): 31 Cent zu hoch, nie in der Toleranz");
    s.meanCents = 0.2;
    s.onsetMs = 260.0;
    EXPECT_EQ(ExerciseSession::Describe(0, s),
              "1. Ton (E-3): genau getroffen, erst nach 260 ms erreicht");
    s.onsetMs = 20.0;
    s.inTunePct = 64.0;
    EXPECT_EQ(ExerciseSession::Describe(0, s),
              "1. Ton (E-3): genau getroffen, nur 64 % in der Toleranz");

    // An A held from capture time 2 s: placed first a second early, then where the sound
    // began, the note is scored where it was sung.
    Exercise e{Exercise::Kind::Halten, 45, 1, 60, 1};
    e.countInBeats = 0;
    ExerciseSession session(e, {50.0, 0.0, 440.0, 0.064});
    session.Place(1.0);
    for (double t = 0.05; t < 7.0; t += 0.05) {
        PitchUpdate u{.seconds = t, .hz = t > 2.05 ? 440.0 : 0.0, .note = t > 2.05 ? 45 : -1};
        session.Add(u, u.note);
        if (t > 1.5 && t < 1.56) {
            session.Place(2.0);
        }
    }
    ASSERT_TRUE(session.Over());
    const auto scores = session.Scores();
    ASSERT_EQ(scores.size(), 1u);
    ASSERT_TRUE(scores[0].onsetMs);
    EXPECT_LT(*scores[0].onsetMs, 60.0);
    EXPECT_GT(scores[0].inTunePct, 95.0);
}

// Each step keeps the extreme note held a second; a slide past lower notes on the way, a
// blip, or a note held too briefly does not count, and a range under a fourth is refused.
TEST(RangeTest, KeepsTheNotesHeldNotTheSlidesBetween) {
    double t = 0.0;
    const auto sing = [&](RangeTest& test, std::int32_t note, double seconds) {
        for (const double end = t + seconds; t < end; t += 0.05) {
            test.Add(PitchUpdate{.seconds = t, .note = note});
        }
    };
    RangeTest test;
    sing(test, 28, 0.5); // slid through on the way down
    sing(test, 26, 1.2);
    sing(test, 24, 0.8); // not held long enough
    sing(test, 27, 1.1);
    EXPECT_EQ(test.step(), RangeTest::Step::Lowest);
    sing(test, -1, 1.1);
    ASSERT_EQ(test.step(), RangeTest::Step::Highest);
    EXPECT_EQ(test.lowest(), 26);
    sing(test, 50, 1.5);
    sing(test, 62, 0.3); // a crack
    sing(test, -1, 1.1);
    ASSERT_EQ(test.step(), RangeTest::Step::Done);
    EXPECT_EQ(test.highest(), 50);
    EXPECT_EQ(test.Told(), "Umfang gemessen: D-2 bis D-4. Die Übungen liegen jetzt darin.");

    RangeTest narrow;
    sing(narrow, 30, 1.2);
    sing(narrow, -1, 1.1);
    sing(narrow, 33, 1.2);
    sing(narrow, -1, 1.1);
    EXPECT_EQ(narrow.step(), RangeTest::Step::Failed);
    RangeTest silent;
    sing(silent, -1, RangeTest::kGiveUp + 0.1);
    EXPECT_EQ(silent.step(), RangeTest::Step::Failed);
}

} // namespace
} // namespace tessmar
