// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/HeardPitch.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace tessmar {
namespace {

constexpr double kHop = 0.05;

double Hz(double notes) {
    return 440.0 * std::exp2((notes - 45.0) / 12.0);
}

// Notes shown over the updates of seconds of a voice at `notes` (fractional: sharp or flat)
// with a vibrato of peak `vibrato` cents at 5.5 Hz; the first hold's worth is left out.
std::vector<HeardPitch::Heard> Sing(HeardPitch& heard, double& at, double seconds, double notes,
                                    double vibrato = 0.0) {
    std::vector<HeardPitch::Heard> shown;
    for (const double end = at + seconds; at < end - 1e-9; at += kHop) {
        const double swing = vibrato / 100.0 * std::sin(2 * std::numbers::pi * 5.5 * at);
        const HeardPitch::Heard h = heard.Add(at, Hz(notes + swing));
        if (at >= end - seconds + HeardPitch::kHoldSeconds) {
            shown.push_back(h);
        }
    }
    return shown;
}

// Vibrato doesn't flicker the name, a singer 35 cents sharp sees it, a step is shown at
// once (a semitone at its second estimate), and an octave the voice didn't make is not shown unless
// the voice stays there.
TEST(HeardPitch, WhatATeacherHears) {
    HeardPitch heard;
    double at = 0.0;
    for (const auto& h : Sing(heard, at, 3.4, 57.0, 55.0)) { // a soprano's A-4
        EXPECT_EQ(h.note, 57) << at;
        EXPECT_LT(std::abs(h.cents), 25.0) << at;
    }
    heard.Add(at += kHop, 0.0);                                      // a breath
    for (const auto& h : Sing(heard, at += 0.5, 3.0, 29.35, 30.0)) { // F-2, 35 cents sharp
        EXPECT_EQ(h.note, 29) << at;
        EXPECT_NEAR(h.cents, 35.0, 15.0) << at;
    }
    for (const double sung : {30.35, 29.35, 28.35}) { // semitones on, still sharp
        const auto shown = Sing(heard, at, 1.2, sung, 30.0);
        for (std::size_t i = 6; i < shown.size(); ++i) { // from 0.6 s into the note
            EXPECT_EQ(shown[i].note, std::lround(sung)) << at;
        }
    }
    EXPECT_EQ(heard.Add(at, Hz(31.0)).note, 31) << "a step up a whole tone";

    Sing(heard, at, 0.5, 31.0);
    heard.Add(at, Hz(32.0));
    EXPECT_EQ(heard.Add(at += kHop, Hz(32.0)).note, 32) << "a semitone, at its second estimate";
    Sing(heard, at += kHop, 0.5, 31.0);
    for (int blip = 0; blip < 3; ++blip) {
        for (const auto& h : Sing(heard, at, 0.2 + 0.1 * blip, 43.0)) { // heard an octave up
            EXPECT_EQ(h.note, 31) << at;
        }
        for (const auto& h : Sing(heard, at, 0.4, 31.0)) {
            EXPECT_EQ(h.note, 31) << at;
        }
    }
    const auto leap = Sing(heard, at, 1.2, 43.0);
    EXPECT_EQ(leap.back().note, 43) << "a leap the voice holds is believed";
    EXPECT_EQ(heard.Add(at, Hz(54.0)).note, 54) << "a seventh is no octave gone astray";
    Sing(heard, at, 1.0, 31.0);
    heard.Add(at, Hz(21.0)); // the window across a step, heard an octave low
    EXPECT_EQ(heard.Add(at += kHop, Hz(33.0)).note, 33) << "a stray estimate across a step";

    HeardPitch baroque(415.0); // a semitone under 440: still A-3, in tune
    const HeardPitch::Heard a = baroque.Add(0.0, 415.0);
    EXPECT_EQ(a.note, 45);
    EXPECT_NEAR(a.cents, 0.0, 1e-9);
}

} // namespace
} // namespace tessmar
