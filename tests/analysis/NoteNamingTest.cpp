// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/NoteNaming.h"

#include <gtest/gtest.h>

namespace tessmar {
namespace {

TEST(NoteNaming, NamesAndPitchClasses) {
    struct Case {
        std::int32_t note;
        const char* name;
        int pitchClass;
    };
    for (const Case c :
         {Case{45, "A-3", 9}, Case{25, "C#-2", 1}, Case{59, "H-4", 11}, Case{89, "F-7", 5},
          Case{0, "C-0", 0}, Case{127, "G-10", 7}, Case{-1, "", -1}, Case{128, "", -1}}) {
        EXPECT_EQ(NoteName(c.note), c.name) << c.note;
        EXPECT_EQ(PitchClass(c.note), c.pitchClass) << c.note;
    }
}

} // namespace
} // namespace tessmar
