#pragma once

#include "FakeWaveIn.h"
#include "RecordingMixer.h"
#include "ScriptedMediaDevice.h"
#include "platform/QtEventPump.h"

#include <string>
#include <vector>

namespace tessmar::test {

// The sound services of the main window as fakes, with Qt's own event loop.
struct FakeSound {
    FakeWaveIn waveIn;
    RecordingMixer mixer;
    std::vector<std::string> playerLog;
    ScriptedMediaDevice mediaDevice{playerLog};
    QtEventPump events;
};

} // namespace tessmar::test
