// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FakeWaveIn.h"
#include "RecordingMixer.h"
#include "ScriptedEventPump.h"
#include "ScriptedMediaDevice.h"

#include <string>
#include <vector>

namespace tessmar::test {

// The sound services of the main window as fakes, with Qt's own event loop (which a test
// can hold).
struct FakeSound {
    FakeWaveIn waveIn;
    RecordingMixer mixer;
    std::vector<std::string> playerLog;
    ScriptedMediaDevice mediaDevice{playerLog};
    ScriptedEventPump events;
};

} // namespace tessmar::test
