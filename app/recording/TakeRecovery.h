// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/recording/TakeSaver.h"
#include "audio/TakeJournal.h"

#include <ctime>
#include <string>
#include <vector>

namespace tessmar {

// Takes whose program ended under them (killed, the power gone, the display lost): their
// journals are saved as WAV files beside the fallback takes, named after the moment the
// take began, and then removed. A journal still locked belongs to a take that runs.
class TakeRecovery {
public:
    // Every interrupted take in journalFolders; one message for the user per take.
    static std::vector<std::string>
    RecoverAll(const std::vector<std::string>& journalFolders,
               const std::vector<TakeSaver::FallbackFolder>& fallbacks);
    // One journal, whose lock the caller holds through its descriptor; empty when it held
    // no sound.
    static std::string Recover(const TakeJournal::File& journal, std::time_t started,
                               const std::vector<TakeSaver::FallbackFolder>& fallbacks);
};

} // namespace tessmar
