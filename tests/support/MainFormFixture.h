#pragma once

#include "FakeDesktop.h"
#include "FakeProfile.h"
#include "FakeWaveIn.h"
#include "RecordingMixer.h"
#include "ScriptedMediaDevice.h"
#include "TempDir.h"
#include "app/MainUnit.h"
#include "platform/QtEventPump.h"

#include <memory>
#include <string>

namespace tessmar::test {

// A main window on fake services, its program file in a fresh folder. In the command-line
// arguments, "$DIR" stands for that folder.
struct MainFormFixture {
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
    FakeWaveIn waveIn;
    RecordingMixer mixer;
    std::vector<std::string> playerLog;
    ScriptedMediaDevice mediaDevice{playerLog};
    QtEventPump events;
    std::unique_ptr<TMainForm> form;
};

} // namespace tessmar::test
