// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/PitchOptions.h"

#include <ostream>

namespace tessmar {

class WaveInApi;

// tessmar-pitch --song FILE … --score FILE: the song's vocal line sung without a window, as
// --exercise is; its time 0 (where #GAP counts from) comes --count-in quarter notes after
// the first captured frame. A song file it can't read is told, naming the line: status 2.
int RunSongCommand(const PitchOptions& options, WaveInApi& device, std::ostream& out,
                   std::ostream& err);

} // namespace tessmar
