// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/LevelHint.h"
#include "practice/PitchOptions.h"
#include "practice/SungRange.h"

#include <gtest/gtest.h>
#include <sstream>

namespace tessmar {
namespace {

PitchUpdate Note(std::int32_t note) {
    PitchUpdate u;
    u.note = note;
    return u;
}

// Held for three updates in a row counts; a slide, a crack or a gap without pitch does not.
TEST(SungRange, OnlyHeldNotesWidenIt) {
    SungRange range(3);
    for (const std::int32_t note : {45, 46, 47, 48, -1, 50, 50, -1, 50}) {
        EXPECT_FALSE(range.Add(Note(note))) << note;
    }
    EXPECT_EQ(range.lowest(), -1);
    EXPECT_FALSE(range.Add(Note(50)));
    EXPECT_TRUE(range.Add(Note(50))) << "third in a row";
    EXPECT_FALSE(range.Add(Note(50))) << "held on: no change";
    for (const std::int32_t note : {52, 52, 52, 51, 51, 51, 40, 40}) {
        range.Add(Note(note));
    }
    EXPECT_EQ(range.lowest(), 50);
    EXPECT_EQ(range.highest(), 52);
    EXPECT_TRUE(range.Add(Note(40)));
    EXPECT_EQ(range.lowest(), 40);
    range.Reset(); // the range and the run go: held anew, 40 alone is the range
    EXPECT_EQ(range.highest(), -1);
    EXPECT_FALSE(range.Add(Note(40)));
    EXPECT_FALSE(range.Add(Note(40)));
    EXPECT_TRUE(range.Add(Note(40)));
    EXPECT_EQ(range.highest(), 40);
}

TEST(LevelHint, ClippingBeforeQuietAndTheThresholdIsFine) {
    PitchUpdate u;
    u.levelDbfs = LevelHint::kQuietDbfs;
    EXPECT_EQ(LevelHint::For(u), "");
    u.levelDbfs = LevelHint::kQuietDbfs - 0.1;
    EXPECT_EQ(LevelHint::For(u).rfind("Zu leise", 0), 0u);
    u.levelDbfs = LevelHint::kSilenceDbfs - 0.1;
    EXPECT_EQ(LevelHint::For(u), "") << "nobody sings: no advice";
    u.hz = 220.0;
    EXPECT_EQ(LevelHint::For(u).rfind("Zu leise", 0), 0u) << "a voice heard, but quietly";
    u.clipped = true; // a click at full scale in an otherwise quiet window
    EXPECT_EQ(LevelHint::For(u).rfind("Übersteuert", 0), 0u);
}

TEST(PitchOptions, LogInBothFormsAndWrongCallsEndWithStatus2) {
    std::ostringstream out, err;
    int status = -1;
    auto options = PitchOptions::Parse({"--log", "a.csv"}, out, err, status);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->log, "a.csv");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(PitchOptions::Parse({"--log=b c.csv"}, out, err, status)->log, "b c.csv");
    EXPECT_EQ(PitchOptions::Parse({}, out, err, status)->log, "");
    EXPECT_EQ(out.str() + err.str(), "");

    for (const auto& call : {std::vector<std::string>{"--log"}, {"-x"}, {"--log", "a", "b"}}) {
        status = 0;
        EXPECT_FALSE(PitchOptions::Parse(call, out, err, status)) << call.back();
        EXPECT_EQ(status, 2) << call.back();
    }
    EXPECT_NE(err.str().find("„--log“ braucht einen Wert"), std::string::npos) << err.str();
    EXPECT_EQ(out.str(), "") << "a wrong call is told on standard error only";

    options = PitchOptions::Parse({"--exercise", "dreiklang", "--start=F#-2", "--rounds", "2",
                                   "--bpm=120", "--count-in", "0", "--score", "s.csv"},
                                  out, err, status);
    ASSERT_TRUE(options) << err.str();
    EXPECT_EQ(options->exercise.start, 30);
    EXPECT_EQ(PitchOptions::Parse({"--concert-pitch=415"}, out, err, status)->concertA, 415);
    EXPECT_EQ(options->exercise.Targets().size(), 14u);
    EXPECT_EQ(options->exercise.Targets()[0].start, 0.0);
    for (const auto& call : {std::vector<std::string>{"--exercise", "singen", "--start", "C-3"},
                             {"--exercise", "halten", "--start", "B-3", "--score", "s"},
                             {"--exercise", "halten", "--start", "C-3", "--bpm", "500"},
                             {"--measure-delay", "--exercise", "halten", "--start", "C-3"},
                             {"--rounds", "2", "--score", "s"},
                             {"--concert-pitch", "500"},
                             {"--exercise", "dreiklang", "--start", "H-9", "--score", "s"},
                             {"--song", "a.txt", "--exercise", "halten", "--start", "C-3"},
                             {"--song", "a.txt", "--start", "C-3"},
                             {"--transpose", "3", "--log", "l"},
                             {"--song", "a.txt", "--track", "65", "--score", "s"}}) {
        status = 0;
        EXPECT_FALSE(PitchOptions::Parse(call, out, err, status)) << call[1];
        EXPECT_EQ(status, 2) << call[1];
    }

    options = PitchOptions::Parse({"--song", "a.txt", "--transpose=-12", "--strict-octave",
                                   "--track", "2", "--score", "s.csv"},
                                  out, err, status);
    ASSERT_TRUE(options) << err.str();
    EXPECT_TRUE(options->strictOctave);
    EXPECT_EQ(options->transpose, -12);

    status = 2;
    EXPECT_FALSE(PitchOptions::Parse({"--help", "-x"}, out, err, status));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out.str().rfind("Aufruf: tessmar-pitch", 0), 0u);
}

} // namespace
} // namespace tessmar
