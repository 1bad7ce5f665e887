// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/exercise/ExerciseCommand.h"

#include "analysis/NoteNaming.h"
#include "practice/PitchFormat.h"
#include "practice/PitchListener.h"
#include "practice/exercise/ExerciseScorer.h"
#include "practice/exercise/ScoreFile.h"

#include <condition_variable>
#include <csignal>
#include <ctime>
#include <mutex>

namespace tessmar {
namespace {

// The listener's updates into the scorer, until the last target is over.
class ScoringSink : public PitchListener::Sink {
public:
    explicit ScoringSink(ExerciseScorer& scorer) : scorer_(scorer) {}

    void Shown(const PitchUpdate& update) override {
        std::lock_guard lock(mutex_);
        heard_ = true;
        if (!over_) {
            scorer_.Add(update);
            over_ = update.seconds >= scorer_.EndSeconds();
        }
    }
    void DeviceState(const std::string& message) override {
        std::lock_guard lock(mutex_);
        if (!message.empty() && message != told_) {
            told_ = message;
            messages_ += message + '\n';
        }
        ended_ = ended_ || (heard_ && !message.empty()); // the input went away
    }

    // Waits a moment; whether the exercise is over, and the messages since the last call.
    bool Over(std::string& messages) {
        std::lock_guard lock(mutex_);
        messages.swap(messages_);
        messages_.clear();
        return over_ || ended_;
    }
    bool Complete() {
        std::lock_guard lock(mutex_);
        return over_;
    }
    std::vector<NoteScore> Scores() {
        std::lock_guard lock(mutex_);
        over_ = true; // nothing after this counts
        return scorer_.Scores();
    }

private:
    ExerciseScorer& scorer_;
    std::mutex mutex_;
    bool heard_ = false, over_ = false, ended_ = false;
    std::string told_, messages_;
};

} // namespace

int RunExerciseCommand(const PitchOptions& options, WaveInApi& device, std::ostream& out,
                       std::ostream& err) {
    TakeHistory::Take entry;
    entry.kind = "uebung";
    entry.name = Exercise::NameOf(options.exercise.kind);
    entry.detail = NoteName(options.exercise.start);
    return RunScoredCommand(options.exercise.Targets(),
                            {double(options.toleranceCents), options.delayMs / 1000.0,
                             double(options.concertA), double(kPitchWindowFrames) / kPitchRate},
                            options.score, "Die Übung", std::move(entry), device, out, err);
}

int RunScoredCommand(std::vector<TargetNote> targets, const ExerciseScorer::Settings& settings,
                     const std::string& scoreFile, const char* what, TakeHistory::Take entry,
                     WaveInApi& device, std::ostream& out, std::ostream& err) {
    ExerciseScorer scorer(std::move(targets), settings);
    ScoringSink sink(scorer);
    bool signalled = false;
    {
        PitchListener listener(device, sink, kPitchRate, kPitchWindowFrames, kPitchHopFrames,
                               std::chrono::milliseconds(1000), settings.concertA);
        sigset_t ending;
        sigemptyset(&ending);
        for (const int s : {SIGINT, SIGTERM, SIGHUP}) {
            sigaddset(&ending, s);
        }
        const timespec tick{0, 100'000'000};
        for (std::string messages;;) {
            const bool over = sink.Over(messages);
            if (!messages.empty()) {
                err << messages << std::flush;
            }
            if (over) {
                break;
            }
            if (sigtimedwait(&ending, nullptr, &tick) > 0) {
                signalled = true;
                break;
            }
        }
    }
    const bool complete = sink.Complete();
    const std::vector<NoteScore> scores = sink.Scores();
    int status = complete ? 0 : 1;
    if (!complete) {
        err << "tessmar-pitch: " << what << " wurde vor dem Ende "
            << (signalled ? "abgebrochen" : "beendet, weil die Eingabe endete")
            << "; bewertet ist, was bis dahin gesungen wurde.\n";
    }
    if (std::string error; !ScoreFile::Write(scoreFile, scores, error)) {
        err << "tessmar-pitch: Die Bewertung lässt sich nicht in „" << scoreFile
            << "“ schreiben: " << error << ". Sie folgt hier:\n";
        out << ScoreFile::Text(scores);
        status = 1;
    }
    if (complete) {
        if (settings.octaveFree) {
            entry.range = std::pair{-1, -1}; // the octave sung is not known
        }
        entry.at = std::time(nullptr);
        entry.total = ExerciseScorer::Total(scores);
        entry.notes = scores;
        entry.start = 0.0; // the targets stand on the capture's clock
        entry.toleranceCents = settings.toleranceCents;
        entry.delaySeconds = settings.delaySeconds;
        entry.octaveFree = settings.octaveFree;
        const std::string path = TakeHistory::DefaultPath();
        std::string error;
        const auto history = TakeHistory::Open(path, error);
        if (!history || !history->Add(entry, error)) {
            err << "tessmar-pitch: Der Verlauf „" << path
                << "“ nimmt die Bewertung nicht auf: " << error << ".\n";
            status = 1;
        }
    }
    out << "Gesamt: " << ExerciseScorer::Total(scores) << " von 100\n" << std::flush;
    return out ? status : 1;
}

} // namespace tessmar
