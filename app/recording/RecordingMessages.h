// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "audio/CaptureView.h"

#include <cstdint>
#include <string>

namespace tessmar {

// What the user is told when the recording stops growing.
// commandLine: the take runs in command-line mode, where Strg+C ends it too.
std::string RecordingStoppedGrowingText(RecordingLimit why, bool commandLine);
// What the user is told once when the recording device goes away during a take; `kept`
// when a file is named, so what was recorded so far is saved by "Abbrechen".
std::string DeviceLostText(bool kept);
// Why the recording device didn't open (its code as the device gave it), in the user's
// words; nothing gets recorded then.
std::string DeviceUnavailableText(std::uint32_t code, bool commandLine);

} // namespace tessmar
