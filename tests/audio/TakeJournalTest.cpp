// SPDX-License-Identifier: GPL-3.0-or-later
// The journal of a running take and its recovery at the next start, on real files.
#include "audio/TakeJournal.h"

#include "TempDir.h"
#include "app/recording/TakeRecovery.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace tessmar {
namespace {

using test::TempDir;

std::string Content(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(TakeJournalTest, AnInterruptedTakeIsSavedAsRecordedAndARunningOneIsLeftAlone) {
    TempDir dir;
    const std::string journals = dir / "state", home = dir / "home";
    std::filesystem::create_directory(home);
    std::vector<std::string> trouble;
    TakeJournal journal([&](const std::string& why) { trouble.push_back(why); }, {});
    ASSERT_TRUE(journal.Begin({journals}, 1796836954));
    const std::string a(4096, 'a'), b(4096, 'b'), c(4096, 'c');
    auto append = [&](std::int32_t at, const std::string& block) {
        journal.Append(at, reinterpret_cast<const std::uint8_t*>(block.data()), 4096);
    };
    append(0, a);
    append(4096, b);
    append(0, c); // the file name was emptied and given again: the recording began anew
    append(4096, a);
    journal.End(true); // as if the program had died: what it held stays

    TakeJournal running([](const std::string&) {}, {});
    ASSERT_TRUE(running.Begin({journals}, 1796836999));
    const auto told = TakeRecovery::RecoverAll({journals}, {{home}});
    ASSERT_EQ(told.size(), 1u);
    std::tm when{};
    const std::time_t started = 1796836954;
    localtime_r(&started, &when);
    const std::string saved = home + "/" + TakeSaver::FallbackName(when);
    EXPECT_NE(told[0].find("unterbrochen; sie ist in \"" + saved + "\" gespeichert"),
              std::string::npos)
        << told[0];
    EXPECT_EQ(Content(saved).substr(44), c + a);
    EXPECT_EQ(dir.Entries().size(), 2u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(journals), {}), 1); // running
    EXPECT_TRUE(trouble.empty());
}

TEST(TakeJournalTest, AJournalThatCantBeWrittenIsToldOnceAndLeavesTheTakeAlone) {
    int told = 0;
    TakeJournal journal([&](const std::string&) { ++told; }, {});
    EXPECT_FALSE(journal.Begin({"/dev/null/journal"}, 0)); // even root can't make that
    const std::uint8_t block[4096] = {};
    journal.Append(0, block, 4096); // the capture goes on as if there were no journal
    journal.End(false);
    EXPECT_EQ(told, 1);
}

} // namespace
} // namespace tessmar
