// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/threads/LatencyLog.h"

#include "platform/threads/SteadyNanos.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

namespace tessmar {
namespace {

std::string Recorded(const std::string& file, auto record) {
    setenv("TESSMAR_LATENCY_LOG", file.c_str(), 1);
    record(LatencyLog()); // written when it goes
    unsetenv("TESSMAR_LATENCY_LOG");
    std::ifstream in(file);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The benchmarks read the figures by position: the main window's one a line, the pitch
// window's total, then its stages; a missing stamp gives -1, not a stage that looks measured.
TEST(LatencyLog, EachProgramsLinesInMicroseconds) {
    const std::string file = testing::TempDir() + "latency.txt";
    const std::int64_t t = SteadyNanos();
    const std::string blocks = Recorded(file, [t](LatencyLog&& log) {
        log.Record(t - 3'000'000);
        log.Record(0); // not known: no line
    });
    EXPECT_EQ(std::count(blocks.begin(), blocks.end(), ' '), 0) << blocks;
    EXPECT_EQ(std::count(blocks.begin(), blocks.end(), '\n'), 1) << blocks;
    EXPECT_GE(std::stoll(blocks), 3000);

    std::istringstream updates(Recorded(file, [t](LatencyLog&& log) {
        log.Painted({t - 9'000'000, t - 8'000'000, t - 5'000'000}, t - 1'000'000);
        log.Painted({t, 0, t}, t);
    }));
    std::int64_t v[10];
    for (std::int64_t& figure : v) {
        updates >> figure;
    }
    EXPECT_GE(v[0], 9000);
    EXPECT_EQ(std::vector<std::int64_t>(v + 1, v + 4),
              (std::vector<std::int64_t>{1000, 3000, 4000}));
    EXPECT_EQ(v[6], -1);
    EXPECT_EQ(v[7], -1);
}

} // namespace
} // namespace tessmar
