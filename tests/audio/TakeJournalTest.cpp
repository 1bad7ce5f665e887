// SPDX-License-Identifier: GPL-3.0-or-later
// The journal of a running take and its recovery at the next start, on real files.
#include "audio/TakeJournal.h"

#include "TempDir.h"
#include "app/recording/TakeRecovery.h"
#include "platform/system/SystemErrorText.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessmar {
namespace {

using test::TempDir;

std::string Content(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string OnlyFileIn(const std::string& folder) {
    return std::filesystem::directory_iterator(folder)->path().string();
}

void Append(TakeJournal& journal, std::int32_t at, const std::string& block) {
    journal.Append(at, reinterpret_cast<const std::uint8_t*>(block.data()), block.size());
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

// A state folder others may enter is closed and looked in, not skipped for a start; a take
// saved where a reboot empties it says so; a journal whose name claims a start after its
// last write is dated by that write; one that can't be read is told, not passed over.
TEST(TakeJournalTest, NoInterruptedTakeIsPassedOverSilently) {
    TempDir dir;
    const std::string journals = dir / "state", home = dir / "home";
    std::filesystem::create_directory(home);
    for (const std::time_t started : {std::time_t(1796836954), std::time_t(1796836955)}) {
        TakeJournal journal([](const std::string&) {}, {});
        ASSERT_TRUE(journal.Begin({journals}, started));
        Append(journal, 0, std::string(4096, 'a'));
        journal.End(true);
    }
    std::filesystem::rename(journals + "/take-1796836955-" + std::to_string(getpid()) + ".journal",
                            journals + "/take-219250468000000-1.journal");
    ::chmod(journals.c_str(), 0755);
    // As where the home folder is read-only: the take lands where a reboot empties it.
    const auto told = TakeRecovery::RecoverAll({journals}, {{home, false, true}});
    ASSERT_EQ(told.size(), 2u);
    EXPECT_NE(told[0].find("Neustart geleert"), std::string::npos) << told[0];
    const std::string both = told[0] + told[1];
    EXPECT_EQ(both.find("219250468"), std::string::npos) << both;

    if (::geteuid() != 0) { // root reads it anyway
        TakeJournal journal([](const std::string&) {}, {});
        ASSERT_TRUE(journal.Begin({journals}, 1796836956));
        Append(journal, 0, std::string(4096, 'b'));
        journal.End(true);
        ::chmod(OnlyFileIn(journals).c_str(), 0);
        const auto unreadable = TakeRecovery::RecoverAll({journals}, {{home}});
        ASSERT_EQ(unreadable.size(), 1u);
        EXPECT_NE(unreadable[0].find("lässt sich nicht lesen (keine Berechtigung)"),
                  std::string::npos);
    }
}

// Another user who controls the state folder's parent swaps the folder for a link to one
// of theirs while the take runs: the saved take's journal still goes from the folder that
// was checked, and nothing in theirs is touched.
TEST(TakeJournalTest, ASwappedFolderNeitherKeepsNorTakesAJournal) {
    TempDir dir;
    const std::string journals = dir / "state", moved = dir / "moved", theirs = dir / "theirs";
    TakeJournal journal([](const std::string&) {}, {});
    ASSERT_TRUE(journal.Begin({journals}, 1796836954));
    const std::string name = std::filesystem::path(OnlyFileIn(journals)).filename();
    std::filesystem::rename(journals, moved);
    std::filesystem::create_directory(theirs);
    std::ofstream(theirs + "/" + name) << "theirs";
    std::filesystem::create_directory_symlink(theirs, journals);
    journal.End(false); // saved: the journal goes
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(moved), {}), 0);
    EXPECT_EQ(Content(theirs + "/" + name), "theirs");
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

// Far more blocks than the ring holds, faster than the writer wakes: the rest is missing
// from the journal (not from the take), and that is told once.
TEST(TakeJournalTest, ATakeTheWriterCantKeepUpWithIsToldOnce) {
    TempDir dir;
    std::vector<std::string> trouble;
    TakeJournal journal([&](const std::string& why) { trouble.push_back(why); }, {});
    ASSERT_TRUE(journal.Begin({dir / "state"}, 0));
    for (std::int32_t i = 0; i < 4 * std::int32_t(TakeJournal::kRingBlocks); ++i) {
        Append(journal, i * 4096, std::string(4096, char(i)));
    }
    journal.End(true);
    ASSERT_EQ(trouble.size(), 1u);
    EXPECT_NE(trouble[0].find("kommt mit dem Schreiben nicht nach"), std::string::npos);
    const std::string kept = Content(OnlyFileIn(dir / "state")).substr(44);
    constexpr std::size_t kRing = TakeJournal::kRingBlocks * 4096;
    ASSERT_GE(kept.size(), kRing);
    EXPECT_LT(kept.size(), 4 * kRing) << "nothing missing";
    EXPECT_EQ(kept[kRing - 1], char(TakeJournal::kRingBlocks - 1));
}

// A write cut short by the file size limit goes on up to it, then fails: told once, and
// what was written stays for a recovery.
TEST(TakeJournalTest, AFailedWriteIsToldOnceAndKeepsWhatWasWritten) {
    TempDir dir;
    std::vector<std::string> trouble;
    TakeJournal journal([&](const std::string& why) { trouble.push_back(why); }, {});
    ASSERT_TRUE(journal.Begin({dir / "state"}, 0));
    rlimit normal{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &normal), 0);
    rlimit small = normal;
    small.rlim_cur = 44 + 4096 + 100;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string a(4096, 'a'), b(4096, 'b');
    Append(journal, 0, a);
    Append(journal, 4096, b);
    journal.End(true);
    ::setrlimit(RLIMIT_FSIZE, &normal);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(trouble, std::vector<std::string>{SystemErrorText(EFBIG)});
    EXPECT_EQ(Content(OnlyFileIn(dir / "state")).substr(44), a + b.substr(0, 100));
}

// The program ends under the take: the journal is completed, its header telling all the
// sound, and handed over once, still locked.
TEST(TakeJournalTest, AtTheProgramsEndTheCompletedJournalIsHandedOverOnce) {
    TempDir dir;
    std::vector<std::string> rescued;
    TakeJournal journal([](const std::string&) {},
                        [&](const TakeJournal::File& file, std::time_t started) {
                            const std::string& path = file.path;
                            const int other = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
                            EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0);
                            ::close(other);
                            EXPECT_EQ(started, 1796836954);
                            rescued.push_back(Content(path));
                        });
    ASSERT_TRUE(journal.Begin({dir / "state"}, 1796836954));
    const std::string a(4096, 'a');
    Append(journal, 0, a);
    TakeJournal::SaveLiveTake();
    TakeJournal::SaveLiveTake(); // the exit handler, after the display's end
    ASSERT_EQ(rescued.size(), 1u);
    EXPECT_EQ(rescued[0].substr(40), std::string("\0\x10\0\0", 4) + a) << "4096 bytes";
    journal.End(true);
}

// On a full disk the take needs no second copy: its journal is renamed into place, at the
// stop and at the next start alike; a journal that doesn't hold just the take stays.
TEST(TakeJournalTest, AJournalBecomesTheTakesFileByARename) {
    TempDir dir;
    const std::string journals = dir / "state", home = dir / "home";
    std::filesystem::create_directory(home);
    const auto inode = [](const std::string& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
    };
    const std::string a(4096, 'a');
    TakeJournal live([](const std::string&) {}, {});
    ASSERT_TRUE(live.Begin({journals}, 1796836954));
    Append(live, 0, a);
    EXPECT_NE(live.MoveTo(home + "/short.wav", 8192), 0);
    const auto journalInode = inode(OnlyFileIn(journals));
    EXPECT_EQ(live.MoveTo(home + "/take.wav", 4096), 0);
    live.End(false);
    EXPECT_EQ(inode(home + "/take.wav"), journalInode);
    EXPECT_EQ(Content(home + "/take.wav").substr(44), a);
    EXPECT_FALSE(std::filesystem::exists(home + "/short.wav"));
    EXPECT_TRUE(std::filesystem::is_empty(journals));

    TakeJournal killed([](const std::string&) {}, {});
    ASSERT_TRUE(killed.Begin({journals}, 1796836954));
    Append(killed, 0, a);
    Append(killed, 4096, "ab"); // the last frame half written
    killed.End(true);
    const auto killedInode = inode(OnlyFileIn(journals));
    ASSERT_EQ(TakeRecovery::RecoverAll({journals}, {{home}}).size(), 1u);
    EXPECT_TRUE(std::filesystem::is_empty(journals));
    for (const auto& entry : std::filesystem::directory_iterator(home)) {
        if (entry.path().filename() != "take.wav") {
            EXPECT_EQ(inode(entry.path()), killedInode);
            EXPECT_EQ(Content(entry.path()), Content(home + "/take.wav"));
        }
    }
}

} // namespace
} // namespace tessmar
