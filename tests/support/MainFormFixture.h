// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FakeDesktop.h"
#include "FakeProfile.h"
#include "FakeSound.h"
#include "MainFormProbe.h"
#include "TempDir.h"

#include <memory>
#include <string>

namespace tessmar::test {

// A main window on fake services, its program file in a fresh folder. In the command-line
// arguments, "$DIR" stands for that folder.
struct MainFormFixture : FakeSound {
    explicit MainFormFixture(const std::string& programFolder = "prog",
                             std::vector<std::string> arguments = {}) {
        std::filesystem::create_directories(dir / programFolder);
        for (std::string& argument : arguments) {
            if (const auto at = argument.find("$DIR"); at != std::string::npos) {
                argument.replace(at, 4, dir.path().string());
            }
        }
        form = std::make_unique<TMainForm>(MainFormServices{
            profile, dialog, messages, screen, dir / (programFolder + "/tessmar"), dir / "home",
            waveIn, mixer, mediaDevice, events, std::move(arguments)});
    }

    TempDir dir;
    FakeProfile profile;
    FakeSaveDialog dialog;
    FakeMessageBox messages;
    FakeScreen screen;
    std::unique_ptr<TMainForm> form;

    MainFormProbe ui() { return MainFormProbe(*form); }
};

} // namespace tessmar::test
