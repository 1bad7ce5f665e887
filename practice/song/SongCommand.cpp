// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/song/SongCommand.h"

#include "analysis/NoteNaming.h"
#include "practice/PitchFormat.h"
#include "practice/exercise/ExerciseCommand.h"
#include "practice/song/SongFile.h"

namespace tessmar {

int RunSongCommand(const PitchOptions& options, WaveInApi& device, std::ostream& out,
                   std::ostream& err) {
    std::string error;
    const std::optional<Song> song = SongFile::Read(options.song, options.track, error);
    const auto refuse = [&](const std::string& why) {
        err << "tessmar-pitch: „" << options.song << "“: " << why << ".\n";
        return 2;
    };
    if (!song) {
        return refuse(error);
    }
    const double countIn = options.exercise.countInBeats * 4 * song->beatSeconds;
    std::vector<TargetNote> targets = song->Targets(options.track, options.transpose, countIn);
    if (targets.empty()) {
        return refuse("die Stimme hat keine Noten, die bewertet werden");
    }
    for (const TargetNote& t : targets) {
        if (NoteName(t.note).empty()) {
            return refuse("um " + std::to_string(options.transpose) +
                          " Halbtöne verschoben reicht das Lied über C-0 bis G-10 hinaus");
        }
    }
    ExerciseScorer::Settings settings{double(options.toleranceCents), options.delayMs / 1000.0,
                                      double(options.concertA),
                                      double(kPitchWindowFrames) / kPitchRate};
    settings.octaveFree = !options.strictOctave;
    TakeHistory::Take entry;
    entry.kind = "lied";
    entry.name = song->title.empty() ? options.song : song->title;
    entry.detail = options.song;
    return RunScoredCommand(std::move(targets), settings, options.score, "Das Lied",
                            std::move(entry), device, out, err);
}

} // namespace tessmar
