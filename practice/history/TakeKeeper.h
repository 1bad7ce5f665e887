// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/exercise/ExerciseSession.h"
#include "practice/history/TakeHistory.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tessmar {

// Between the window and the history: keeps a take sung to its end (its notes, its curve,
// its recording) and brings one back to be looked at again. The history is opened at the
// first need and stays open. Qt-free; the window's thread.
class TakeKeeper {
public:
    struct Looked {
        TakeHistory::Take take;
        ExerciseSession session;             // placed where it was sung, its curve restored
        std::vector<std::int16_t> recording; // mono at the pitch rate; empty without
    };

    // what: the kind, name and detail; the rest comes from the session and the scores.
    bool Keep(TakeHistory::Take what, const ExerciseSession& session,
              const std::vector<NoteScore>& scores, const std::vector<std::int16_t>& recording,
              double recordingStart, std::string& error);
    std::optional<Looked> LookBack(std::int64_t id, double concertA, std::string& error);

private:
    bool Opened(std::string& error);

    std::unique_ptr<TakeHistory> history_;
};

} // namespace tessmar
