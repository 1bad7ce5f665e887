// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/capture/WaveIn.h"

#include <ostream>

namespace tessmar {

class ReferencePlayer;

// tessmar-pitch --measure-delay: plays the measuring sound on the player's output, listens
// on the device, prints "Verzögerung: N ms" and returns 0; tells why not and returns 1.
// SIGINT, SIGTERM and SIGHUP must be blocked in every thread: it waits for them itself.
int RunDelayCommand(WaveInApi& device, ReferencePlayer& player, std::ostream& out,
                    std::ostream& err);

} // namespace tessmar
