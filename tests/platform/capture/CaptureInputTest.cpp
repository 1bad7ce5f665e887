// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/capture/CaptureInput.h"

#include "audio/DemoSingerInput.h"
#include "platform/capture/LinuxWaveIn.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace tessmar {
namespace {

using Kind = CaptureInput::Kind;

TEST(CaptureInput, NamesTheSource) {
    const struct {
        const char* value;
        CaptureInput input;
    } cases[] = {
        {nullptr, {Kind::Alsa, "default"}},
        {"", {Kind::Alsa, "default"}},
        {"alsa:hw:1,0", {Kind::Alsa, "hw:1,0"}},
        {"file:/tmp/a b:c.wav", {Kind::File, "/tmp/a b:c.wav"}},
        {"demo", {Kind::Demo, ""}},
    };
    for (const auto& c : cases) {
        std::string error = "old";
        EXPECT_EQ(CaptureInput::Parse(c.value, error), c.input) << (c.value ? c.value : "unset");
        EXPECT_EQ(error, "");
    }
}

TEST(CaptureInput, ABadValueIsToldAndGivesTheAlsaDefault) {
    for (const char* value : {"alsa:", "file:", "Demo", "mic", "demo ", "alsa"}) {
        std::string error;
        EXPECT_EQ(CaptureInput::Parse(value, error), CaptureInput{}) << value;
        EXPECT_NE(error.find(std::string("„") + value + "“"), std::string::npos) << error;
    }

    setenv("TESSMAR_INPUT", "mikrofon", 1);
    testing::internal::CaptureStderr();
    const auto api = LinuxWaveIn::FromEnvironment(DemoSingerInput());
    const std::string told = testing::internal::GetCapturedStderr();
    unsetenv("TESSMAR_INPUT");
    EXPECT_EQ(api->input(), CaptureInput{});
    EXPECT_NE(told.find("TESSMAR_INPUT=„mikrofon“ ist ungültig"), std::string::npos) << told;
    EXPECT_NE(told.find("ALSA-Standardgerät"), std::string::npos) << told;
}

} // namespace
} // namespace tessmar
