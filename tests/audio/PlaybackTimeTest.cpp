// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/PlaybackTime.h"

#include <gtest/gtest.h>
#include <limits>

namespace tessmar {
namespace {

TEST(PlaybackTimeTest, PadTwoDigitsOnlyPadsShortTexts) {
    EXPECT_EQ(PadTwoDigits(""), "0");
    EXPECT_EQ(PadTwoDigits("5"), "05");
    EXPECT_EQ(PadTwoDigits("59"), "59");
    EXPECT_EQ(PadTwoDigits("123"), "123");
}

TEST(PlaybackTimeTest, MinutesWithoutLeadingZerosSecondsAlwaysTwoDigits) {
    EXPECT_EQ(TimeText(0), "0:00");
    EXPECT_EQ(TimeText(999), "0:00");
    EXPECT_EQ(TimeText(5200), "0:05");
    EXPECT_EQ(TimeText(59999), "0:59");
    EXPECT_EQ(TimeText(61999), "1:01");
    EXPECT_EQ(TimeText(83456), "1:23");
    EXPECT_EQ(TimeText(600000), "10:00");
    EXPECT_EQ(TimeText(3725000), "62:05");
    EXPECT_EQ(TimeText(std::numeric_limits<std::int32_t>::max()), "35791:23");
    EXPECT_EQ(TimeText(-1500), "0:00");
}

TEST(PlaybackTimeTest, ProgressIsTruncatedPercentWithinTheBarsRange) {
    EXPECT_EQ(ProgressPercent(5200, 83456), 6);
    EXPECT_EQ(ProgressPercent(61999, 83456), 74);
    EXPECT_EQ(ProgressPercent(83456, 83456), 100);
    EXPECT_EQ(ProgressPercent(0, 83456), 0);
    EXPECT_EQ(ProgressPercent(100, 0), 0);
    EXPECT_EQ(ProgressPercent(100, -5), 0);
    // Past 21,474,837 ms (almost 6 hours) position × 100 no longer fits 32 bits.
    EXPECT_EQ(ProgressPercent(30000000, 40000000), 75);
    EXPECT_EQ(ProgressPercent(90000, 83456), 100);
}

} // namespace
} // namespace tessmar
