#pragma once

#include "audio/CaptureView.h"

#include <string>

namespace tessmar {

// What the user is told when the recording stops growing.
std::string RecordingStoppedGrowingText(RecordingLimit why);

} // namespace tessmar
