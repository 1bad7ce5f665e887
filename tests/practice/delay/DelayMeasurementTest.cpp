// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/delay/DelayMeasurement.h"

#include <gtest/gtest.h>
#include <random>

namespace tessmar {
namespace {

constexpr int kRate = 16000;

// What a microphone hears of the measuring sound started at capture time `started`: late
// by `delay`, quieter, with a room's echo and a hiss, handed over in hops as the listener does.
DelayMeasurement Hear(double started, double delay, double level) {
    const std::vector<std::int16_t> sound = DelayMeasurement::Sound(kRate);
    const auto frames = std::size_t(3.0 * kRate);
    std::vector<std::int16_t> heard(2 * frames);
    std::mt19937 random(7);
    std::normal_distribution<double> hiss(0.0, 300.0);
    const auto at = long((started + delay) * kRate), echo = at + long(0.03 * kRate);
    for (long k = 0; k < long(frames); ++k) {
        double v = hiss(random);
        for (const auto& [from, gain] : {std::pair{at, level}, std::pair{echo, level / 2}}) {
            if (k >= from && k - from < long(sound.size() / 2)) {
                v += gain * sound[2 * (k - from)];
            }
        }
        heard[2 * k] = heard[2 * k + 1] = std::int16_t(std::clamp(v, -32768.0, 32767.0));
    }
    DelayMeasurement measurement(kRate);
    measurement.Started(started);
    for (std::size_t k = 0; k + 800 <= frames; k += 800) {
        measurement.Heard(&heard[2 * k], 800, double(k + 800) / kRate);
    }
    return measurement;
}

TEST(DelayMeasurement, FindsTheDelayThroughEchoAndHiss) {
    for (const double delay : {0.0, 0.137, 0.42}) {
        std::string why;
        const auto found = Hear(0.3, delay, 0.2).Result(why);
        ASSERT_TRUE(found) << why;
        EXPECT_NEAR(*found, delay * 1000, 1.0);
    }
}

TEST(DelayMeasurement, SaysSoWhenTheSoundIsNotHeard) {
    std::string why;
    EXPECT_FALSE(Hear(0.3, 0.1, 0.0).Result(why));
    EXPECT_NE(why.find("nicht zu hören"), std::string::npos);
    // The sound started too late for what was heard after it.
    EXPECT_FALSE(Hear(2.5, 0.1, 0.2).Done());
}

} // namespace
} // namespace tessmar
