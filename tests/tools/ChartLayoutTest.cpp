// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/notes/ChartLayout.h"

#include "tools/notes/NoteRuns.h"

#include <gtest/gtest.h>
#include <vector>

namespace tessmar {
namespace {

TEST(NoteRuns, OneRunPerStretchOfTheSameNote) {
    EXPECT_EQ(NoteRuns({}), std::vector<NoteRun>{});
    EXPECT_EQ(NoteRuns({-1, -1}), std::vector<NoteRun>{});
    EXPECT_EQ(NoteRuns({-1, 45, 45, -1, 45, 57, 57, 57}),
              (std::vector<NoteRun>{{1, 2, 45}, {4, 1, 45}, {5, 3, 57}}));
}

TEST(ChartLayout, ThreeMinutesAtAGlance) {
    Take take;
    take.notes.assign(1938, -1); // 3 minutes of blocks
    take.notes[100] = 48;
    take.notes[900] = 60;
    const ChartLayout layout(take);
    EXPECT_EQ(layout.width(), ChartLayout::kLeftMargin + 2160 + ChartLayout::kRightMargin);
    EXPECT_EQ(layout.lowestNote(), 47);
    EXPECT_EQ(layout.highestNote(), 61);
    EXPECT_EQ(layout.height(),
              ChartLayout::kTopMargin + 15 * ChartLayout::kRowHeight + ChartLayout::kBottomMargin);
    EXPECT_EQ(layout.tickSeconds(), 10);
    // Higher notes higher up, one row each; time from the left edge of the plot.
    EXPECT_DOUBLE_EQ(layout.Y(61), layout.plotTop() + ChartLayout::kRowHeight / 2.0);
    EXPECT_DOUBLE_EQ(layout.Y(47), layout.plotBottom() - ChartLayout::kRowHeight / 2.0);
    EXPECT_DOUBLE_EQ(layout.BlockX(0), layout.plotLeft());
    EXPECT_DOUBLE_EQ(layout.BlockX(1938), layout.plotRight());
}

TEST(ChartLayout, ShortLongAndSilentTakes) {
    Take take;
    take.notes.assign(20, 45);
    take.pitchHz.assign(20, 0.0);
    take.pitchHz[3] = 110.0; // the sung note, two octaves below what was detected
    ChartLayout shortTake(take);
    EXPECT_EQ(shortTake.plotRight() - shortTake.plotLeft(), ChartLayout::kMinPlotWidth);
    // The detected A-3 is drawn an octave above the sung A-1, not two: folded.
    EXPECT_EQ(shortTake.RowOf(45), 33);
    EXPECT_EQ(shortTake.lowestNote(), 20);
    EXPECT_EQ(shortTake.highestNote(), 34);
    take.pitchHz[3] = 220.0; // an octave below: both keep their rows
    EXPECT_EQ(ChartLayout(take).RowOf(45), 45);
    EXPECT_EQ(shortTake.tickSeconds(), 1);

    take.notes.assign(38760, 45); // an hour
    take.pitchHz.clear();
    const ChartLayout hour(take);
    EXPECT_EQ(hour.plotRight() - hour.plotLeft(), ChartLayout::kMaxPlotWidth);
    EXPECT_EQ(hour.tickSeconds(), 120);

    const ChartLayout silent(Take{std::vector<std::int32_t>(30, -1), {}});
    EXPECT_EQ(silent.rows(), 3);
    EXPECT_EQ(ClockText(0), "0:00");
    EXPECT_EQ(ClockText(150), "2:30");
    EXPECT_EQ(ClockText(3720), "1:02:00");
}

} // namespace
} // namespace tessmar
