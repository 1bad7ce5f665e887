// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recording/TakeKeeper.h"

#include <gtest/gtest.h>

namespace tessmar {
namespace {

// The command line's volume was read by Qt's QString::toInt before; these are its answers.
TEST(TakeKeeper, VolumeIsAWholeNumberAsQtReadIt) {
    const std::pair<const char*, std::optional<int>> cases[] = {{"30", 30},
                                                                {" 30", 30},
                                                                {"30 ", 30},
                                                                {"\t40\n", 40},
                                                                {"+30", 30},
                                                                {"-5", -5},
                                                                {"030", 30},
                                                                {"0", 0},
                                                                {"2147483647", 2147483647},
                                                                {"-2147483648", -2147483647 - 1},
                                                                {"0x10", {}},
                                                                {"3 0", {}},
                                                                {"", {}},
                                                                {"  ", {}},
                                                                {"1e2", {}},
                                                                {"30.0", {}},
                                                                {"2147483648", {}},
                                                                {"+-3", {}},
                                                                {"- 3", {}},
                                                                {"+", {}},
                                                                {"-", {}}};
    for (const auto& [text, number] : cases) {
        EXPECT_EQ(TakeKeeper::WholeNumber(text), number) << '"' << text << '"';
    }
}

} // namespace
} // namespace tessmar
