// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramInfo.h"

#include <gtest/gtest.h>
#include <sstream>
#include <streambuf>

namespace tessmar {
namespace {

std::optional<int> AnswerTo(const std::vector<std::string>& arguments, std::string& printed) {
    std::ostringstream out;
    const auto status = ProgramInfo::Answer(arguments, out);
    printed = out.str();
    return status;
}

TEST(ProgramInfoTest, HelpAndVersionAloneAreAnswered) {
    std::string printed;
    EXPECT_EQ(AnswerTo({"--version"}, printed), 0);
    EXPECT_EQ(printed, std::string("Tessmar ") + ProgramInfo::Version() + "\n");

    EXPECT_EQ(AnswerTo({"--help"}, printed), 0);
    EXPECT_EQ(printed.rfind("Aufruf: tessmar\n", 0), 0u) << printed;
    for (const char* named : {"DATEI", "LAUTSTÄRKE", "--version", "TESSMAR_INPUT", "TESSMAR_MIXER",
                              "TESSMAR_OUTPUT", "tessmar.INI"}) {
        EXPECT_NE(printed.find(named), std::string::npos) << named;
    }
}

// Anything else belongs to the window: one other argument opens it, two or more record.
TEST(ProgramInfoTest, OtherArgumentsAreLeftToTheWindow) {
    const std::vector<std::vector<std::string>> others = {
        {},
        {"-h"},
        {"--Help"},
        {"--help=1"},
        {"x"},
        {""},
        {"--help", "out.wav"},
        {"x", "--version"},
        {"--version", "--help"},
        {"x", "out.wav", "40"},
    };
    for (const auto& arguments : others) {
        std::string printed;
        EXPECT_EQ(AnswerTo(arguments, printed), std::nullopt) << arguments.size();
        EXPECT_EQ(printed, "");
    }
}

// An output that can't be written (a closed pipe, a full disk) is a failure, not success.
TEST(ProgramInfoTest, UnwritableOutputFails) {
    struct Full : std::streambuf {
        int overflow(int) override { return traits_type::eof(); }
        std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
    } full;
    for (const char* argument : {"--help", "--version"}) {
        std::ostream out(&full);
        EXPECT_EQ(ProgramInfo::Answer({argument}, out), 1) << argument;
    }
}

TEST(ProgramInfoTest, ApplicationIdIsReverseDnsOfTheWebAddress) {
    EXPECT_STREQ(ProgramInfo::ApplicationId(), "org.example.tessmar");
}

} // namespace
} // namespace tessmar
