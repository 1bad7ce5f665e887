// SPDX-License-Identifier: GPL-3.0-or-later
#include "analysis/NoteNaming.h"

#include <gtest/gtest.h>

namespace tessmar {
namespace {

TEST(NoteNaming, NamesAndLitLabels) {
    struct Case {
        std::int32_t note;
        const char* name;
        int label;
    };
    for (const Case c :
         {Case{45, "A-3", 26}, Case{25, "C#-2", 18}, Case{59, "H-4", 28}, Case{89, "F-7", 22},
          Case{0, "C-0", 17}, Case{127, "G-10", 24}, Case{-1, "", 0}, Case{128, "", 0}}) {
        EXPECT_EQ(NoteName(c.note), c.name) << c.note;
        EXPECT_EQ(LitLabelNumber(c.note), c.label) << c.note;
    }
}

} // namespace
} // namespace tessmar
