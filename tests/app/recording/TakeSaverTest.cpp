// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recording/TakeSaver.h"

#include "TempDir.h"

#include <gtest/gtest.h>

namespace tessmar {
namespace {

using test::TempDir;

// 2026-12-09 03:15:00 in the local time zone.
std::time_t Moment() {
    std::tm when{};
    when.tm_year = 126;
    when.tm_mon = 11;
    when.tm_mday = 9;
    when.tm_hour = 3;
    when.tm_min = 15;
    when.tm_isdst = -1;
    return std::mktime(&when);
}

class TakeSaverTest : public ::testing::Test {
protected:
    TakeSaver Saver() {
        return TakeSaver({[this] { return unattended; },
                          [this](const std::string& file, const std::string& reason) {
                              asked.push_back(file + ": " + reason);
                              if (askHook) {
                                  askHook();
                              }
                              return answer;
                          }},
                         {dir / "home", dir / "tmp"}, outcome, Moment);
    }

    TempDir dir;
    RunOutcome outcome{[](const std::string&) {}};
    bool unattended = false;
    std::string answer;
    std::function<void()> askHook;
    std::vector<std::string> asked;
};

TEST_F(TakeSaverTest, SomeoneAtTheWindowIsAskedAndTheirChoiceIsQuiet) {
    TakeSaver saver = Saver();
    saver.Begin(false);
    answer = dir / "other.wav";
    EXPECT_EQ(saver.OtherFile("/x/take.wav", "gone"), answer);
    EXPECT_EQ(asked, std::vector<std::string>{"/x/take.wav: gone"});
    saver.Saved(answer);
    saver.End(true);
    EXPECT_TRUE(outcome.Said().empty());

    saver.Begin(false); // their "no" loses the take, without a word on the terminal
    answer.clear();
    EXPECT_EQ(saver.OtherFile("/x/take.wav", "gone"), "");
    saver.End(true);
    EXPECT_TRUE(outcome.Said().empty());
    EXPECT_FALSE(outcome.Failed());
}

TEST_F(TakeSaverTest, NobodyIsAskedInCommandLineModeAndTheFallbacksAreTriedInTurn) {
    TakeSaver saver = Saver();
    unattended = true;
    saver.Begin(true);
    const std::string name = "tessmar-20261209-031500.wav";
    EXPECT_EQ(saver.OtherFile("/x/take.wav", "gone"), dir / ("home/" + name));
    EXPECT_EQ(saver.OtherFile(dir / ("home/" + name), "full"), dir / ("tmp/" + name));
    EXPECT_EQ(saver.OtherFile(dir / ("tmp/" + name), "read-only"), "");
    EXPECT_TRUE(asked.empty());
    saver.End(true);
    ASSERT_EQ(outcome.Said().size(), 1u);
    EXPECT_NE(outcome.Said()[0].find("\"/x/take.wav\" gespeichert werden (gone)"),
              std::string::npos)
        << outcome.Said()[0];
    EXPECT_NE(outcome.Said()[0].find("read-only): sie ist verloren."), std::string::npos);
    EXPECT_EQ(outcome.ExitStatus(), 1);

    // A full disk: never "verloren" while the journal holds the take.
    saver.Begin(true);
    for (std::string file = "/x/take.wav"; !file.empty();) {
        file = saver.OtherFile(file, "full");
    }
    saver.End(true, "/state/take.journal");
    EXPECT_NE(outcome.Said().back().find("full): sie bleibt in \"/state/take.journal\" und wird "
                                         "beim nächsten Start gespeichert."),
              std::string::npos)
        << outcome.Said().back();
}

TEST_F(TakeSaverTest, AFallbackNeverReplacesAnotherTake) {
    std::filesystem::create_directory(dir / "home");
    test::WriteBytes(dir / "home/tessmar-20261209-031500.wav", "older take");
    test::WriteBytes(dir / "home/tessmar-20261209-031500-2.wav", "older take");
    TakeSaver saver = Saver();
    unattended = true;
    saver.Begin(true);
    EXPECT_EQ(saver.OtherFile("/x/take.wav", "gone"), dir / "home/tessmar-20261209-031500-3.wav");
}

// A signal while the user is asked closes the question: that is no "no".
TEST_F(TakeSaverTest, AQuestionClosedByASignalGivesTheFallback) {
    TakeSaver saver = Saver();
    saver.Begin(false);
    askHook = [this] { unattended = true; };
    EXPECT_EQ(saver.OtherFile("/x/take.wav", "gone"), dir / "home/tessmar-20261209-031500.wav");
    saver.Saved(dir / "home/tessmar-20261209-031500.wav");
    saver.End(true);
    ASSERT_EQ(outcome.Said().size(), 1u); // said where, since nobody saw it
    EXPECT_NE(outcome.Said()[0].find("stattdessen in \"" + dir / "home"), std::string::npos);
    EXPECT_FALSE(outcome.Failed()) << "an interactive run";
}

TEST_F(TakeSaverTest, TheCommandLineOutcome) {
    TakeSaver saver = Saver();
    unattended = true;
    saver.Begin(true);
    saver.Saved("/x/take.wav");
    saver.End(true);
    EXPECT_FALSE(outcome.Failed()) << "saved to its own file";

    saver.Begin(true);
    saver.End(true);
    EXPECT_TRUE(outcome.Failed());
    EXPECT_EQ(outcome.Said().back(),
              "Es wurde nichts aufgenommen, daher ist keine Datei geschrieben worden.");

    saver.Begin(true);
    saver.End(false);
    EXPECT_EQ(outcome.Said().back(),
              "Es ist keine Datei angegeben, daher wurde die Aufnahme nicht gespeichert.");

    saver.Begin(true); // saved, but elsewhere: a failure all the same
    const std::string fallback = saver.OtherFile("/x/take.wav", "gone");
    saver.Saved(fallback);
    saver.End(true);
    EXPECT_NE(outcome.Said().back().find("stattdessen in \"" + fallback + "\" gespeichert."),
              std::string::npos)
        << outcome.Said().back();
}

} // namespace
} // namespace tessmar
