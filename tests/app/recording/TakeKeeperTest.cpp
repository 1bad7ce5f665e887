// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/recording/TakeKeeper.h"

#include "TempDir.h"
#include "platform/desktop/MessageBox.h"
#include "platform/desktop/SaveDialog.h"

#include <fstream>
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

struct NobodyAnswers : MessageBox, SaveDialog {
    void ShowError(QWidget*, const std::string&, const std::string& text) override {
        shown.push_back(text);
    }
    bool AskYesNo(QWidget*, const std::string&, const std::string&) override { return true; }
    std::optional<std::string> Run(QWidget*, const Request&) override { return {}; }
    std::vector<std::string> shown;
};

// Two takes into one file, or any program writing it meanwhile: whichever stops later must
// not replace what was written after it began, even with the lock gone or never had.
TEST(TakeKeeper, NeverReplacesAFileWrittenDuringTheTake) {
    test::TempDir dir;
    NobodyAnswers desk;
    RunOutcome outcome{[](const std::string&) {}};
    TakeKeeper keeper({desk, desk, nullptr,
                       [&](const std::string& t) { desk.ShowError({}, {}, t); },
                       [](std::function<void()>) {}},
                      dir.path().string(), {}, outcome);
    const std::string file = dir / "take.wav";
    for (const bool commandLine : {false, true}) {
        if (commandLine) {
            keeper.SetCommandLine();
        }
        keeper.Begin(file);
        std::ofstream(file) << (commandLine ? "another take" : "the other take");
        const std::string target = keeper.FileToWrite(file);
        EXPECT_NE(target, file);
        EXPECT_EQ(target.rfind(dir / "tessmar-", 0), 0u) << target;
        keeper.End(true);
        EXPECT_EQ(outcome.Failed(), commandLine);
        EXPECT_EQ(desk.shown.size(), 1u); // the window is told; a command line fails
    }
    // Unchanged since the take began, the file is replaced as before: sing, listen, again.
    keeper.Begin(file);
    EXPECT_EQ(keeper.FileToWrite(file), file);
}

} // namespace
} // namespace tessmar
