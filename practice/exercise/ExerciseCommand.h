// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/PitchOptions.h"
#include "practice/exercise/ExerciseScorer.h"
#include "practice/history/TakeHistory.h"

#include <ostream>

namespace tessmar {

class WaveInApi;

// tessmar-pitch --exercise … --score FILE: one exercise without a window, on the input
// given. Listens until the last target is over (or the input ends, or SIGINT, SIGTERM or
// SIGHUP comes, which the caller has blocked in every thread), scores each note, writes
// the score file and says the total. Its exit status: 0, or 1 when the exercise was cut
// short or the file couldn't be written (its rows then go to out, so nothing is lost).
int RunExerciseCommand(const PitchOptions& options, WaveInApi& device, std::ostream& out,
                       std::ostream& err);
// The same for any targets: an exercise's or a song's (`what` names it in messages: "Die
// Übung", "Das Lied"). A take sung to its end is kept in the history as `entry` says.
int RunScoredCommand(std::vector<TargetNote> targets, const ExerciseScorer::Settings& settings,
                     const std::string& scoreFile, const char* what, TakeHistory::Take entry,
                     WaveInApi& device, std::ostream& out, std::ostream& err);

} // namespace tessmar
