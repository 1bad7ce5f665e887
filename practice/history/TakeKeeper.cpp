// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/history/TakeKeeper.h"

#include "practice/PitchFormat.h"
#include "practice/history/TakeRecording.h"

#include <algorithm>
#include <cmath>
#include <ctime>

namespace tessmar {
namespace {

std::string Recordings() {
    return TakeHistory::RecordingsFolder(TakeHistory::DefaultPath()) + "/";
}

} // namespace

bool TakeKeeper::Opened(std::string& error) {
    if (!history_) {
        history_ = TakeHistory::Open(TakeHistory::DefaultPath(), error);
    }
    return bool(history_);
}

bool TakeKeeper::Keep(TakeHistory::Take take, const ExerciseSession& session,
                      const std::vector<NoteScore>& scores,
                      const std::vector<std::int16_t>& recording, double recordingStart,
                      std::string& error) {
    if (!Opened(error)) {
        return false;
    }
    take.at = std::time(nullptr);
    take.total = ExerciseScorer::Total(scores);
    take.notes = scores;
    take.start = session.start();
    take.toleranceCents = session.tolerance();
    take.delaySeconds = session.delay();
    take.octaveFree = session.octaveFree();
    // The range from the curve, as the voice sang it (in its own octave), where it was
    // within the tolerance of the note sounding.
    std::int32_t lowest = -1, highest = -1;
    const double heardLate = session.delay() + 0.048;
    for (const ExerciseSession::Sung& p : session.curve()) {
        take.curve.push_back({p.seconds, p.pitch});
        for (const TargetNote& t : session.targets()) {
            const double at = p.seconds - heardLate;
            double off = (p.pitch - t.note) * 100.0;
            off -= session.octaveFree() ? 1200.0 * std::round(off / 1200.0) : 0.0;
            if (at >= t.start && at < t.end && !t.rap() && std::abs(off) <= session.tolerance()) {
                const auto note = std::int32_t(std::lround(p.pitch));
                lowest = lowest < 0 ? note : std::min(lowest, note);
                highest = std::max(highest, note);
            }
        }
    }
    take.range = std::pair{lowest, highest};
    // Without its recording (a full disk) the take is still kept.
    const std::string name = TakeRecording::NameFor(take.at);
    std::string unrecorded;
    if (!recording.empty() &&
        TakeRecording::Write(Recordings() + name, recording, kPitchRate, unrecorded)) {
        take.recording = name;
        take.recordingStart = recordingStart;
    }
    return history_->Add(take, error);
}

std::optional<TakeKeeper::Looked> TakeKeeper::LookBack(std::int64_t id, double concertA,
                                                       std::string& error) {
    std::optional<TakeHistory::Take> take =
        Opened(error) ? history_->Load(id, error) : std::nullopt;
    if (!take) {
        return std::nullopt;
    }
    std::vector<TargetNote> targets;
    for (const NoteScore& n : take->notes) {
        targets.push_back({n.target.note, n.target.start - take->start, n.target.end - take->start,
                           n.target.kind});
    }
    ExerciseSession session(
        std::move(targets), 0, 1.0,
        {take->toleranceCents, take->delaySeconds, concertA, 0.0, take->octaveFree});
    session.Place(take->start);
    std::vector<ExerciseSession::Sung> curve;
    for (const auto& p : take->curve) {
        curve.push_back({p.seconds, p.pitch});
    }
    session.Restore(std::move(curve));
    std::vector<std::int16_t> recording;
    if (!take->recording.empty()) {
        std::string unheard; // a recording gone leaves the picture
        recording = TakeRecording::Read(Recordings() + take->recording, kPitchRate, unheard);
    }
    return Looked{std::move(*take), std::move(session), std::move(recording)};
}

} // namespace tessmar
