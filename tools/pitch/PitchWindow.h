// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/threads/Doorbell.h"
#include "platform/threads/LatencyLog.h"
#include "platform/threads/Mailbox.h"
#include "practice/PitchListener.h"
#include "practice/SungRange.h"
#include "tools/pitch/PitchTrace.h"

#include <QWidget>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QPushButton;

namespace tessmar {

class CentsMeter;
class ExercisePane;
class LevelMeter;
class ProfileStore;
struct ExerciseSettings;
class PitchLog;
class PitchTrace;
class ReferencePlayer;

// tessmar-pitch's window: the sung note large, its cents, the trace of the last seconds,
// the level with a hint, the range sung and the device's state. The listener's updates
// and device messages wait in a mailbox, and the window is rung once however many pile up;
// the listening and the pitch are done elsewhere, the log rows are written here.
// docs/threads.md says who may touch what.
class PitchWindow : public QWidget, public PitchListener::Sink {
    Q_OBJECT
public:
    // log may be null (no --log). The exercises' settings are kept in profile, the delay
    // under devicePair.
    PitchWindow(ReferencePlayer& player, PitchLog* log, ProfileStore& profile,
                const std::string& devicePair, QWidget* parent = nullptr);
    ~PitchWindow() override;

    // The listener's thread: never waits for the window.
    void Shown(const PitchUpdate& update) override;
    void Frames(const std::int16_t* frames, std::size_t count, double endSeconds) override;
    void DeviceState(const std::string& message) override;
    // The player's thread: the moment the output plays the first frame of sound number
    // `sound`.
    void SoundStarted(std::uint64_t sound, std::int64_t steadyNs);

    // Starts an exercise at once (the command line's).
    void StartExercise(const ExerciseSettings& settings);
    // The command line's song: these settings (tolerance, delay) and the song's own.
    void StartSong(const std::string& path, int track, int transpose, bool strictOctave,
                   const ExerciseSettings& settings);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // What waits for the window: every update since the last drain, and the newest device
    // message. Two batches with room reserved once trade places, so an update allocates
    // nothing unless more than that room piles up.
    struct Batch {
        std::vector<PitchUpdate> updates;
        bool deviceChanged = false;
        std::string deviceMessage;
        std::vector<std::int16_t> frames; // heard, one channel, while an exercise wants them
        double framesEnd = 0.0;
        std::int64_t soundStarted = 0; // steady ns; 0: no news
        std::uint64_t sound = 0;       // whose
    };
    static constexpr std::size_t kBatchRoom = 64; // over three seconds of updates

    void Drain();
    void Show(const PitchUpdate& update);
    void ShowRange();
    static double TracePitch(const PitchUpdate& update, double concertA);
    std::int32_t KeyOctave() const;
    void ShowKeyOctave();
    void PlayReference(std::int32_t note);

    ReferencePlayer& player_;
    PitchLog* log_;
    LatencyLog latency_;
    SungRange range_;
    Mailbox<Batch> mailbox_;
    Batch taken_; // the window's thread: the batch last drained
    Doorbell doorbell_;
    QLabel* note_ = nullptr;
    QLabel* hz_ = nullptr;
    CentsMeter* cents_ = nullptr;
    PitchTrace* trace_ = nullptr;
    LevelMeter* level_ = nullptr;
    QLabel* hint_ = nullptr;
    QLabel* range_label_ = nullptr;
    QPushButton* reset_ = nullptr;
    QLabel* device_ = nullptr;
    QLabel* help_ = nullptr;
    ExercisePane* exercise_ = nullptr;
    std::atomic<bool> keepFrames_ = false;
    std::int32_t shownKeyOctave_ = -1;
    std::vector<PitchTrace::Point> points_; // kept to spare an allocation per update
    QString shownNote_;
    QString shownHz_;
    QString shownHint_;
};

} // namespace tessmar
