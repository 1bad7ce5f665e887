// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/CaptureClock.h"
#include "practice/PitchUpdate.h"
#include "practice/ReferencePlayer.h"
#include "practice/exercise/ExerciseSession.h"
#include "practice/exercise/ExerciseSettings.h"
#include "practice/exercise/RangeTest.h"
#include "practice/history/TakeKeeper.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QTimer;

namespace tessmar {

class DelayRun;
class ExerciseForm;
class ProgressWindow;
class SongRow;
class ExerciseView;
class ProfileStore;

// The exercises in tessmar-pitch's window: their settings, kept between runs; the exercise
// sung (its sound on the output, the view in place of the trace); the result in words; and
// the take replayed under a cursor. The window hands it every update, the frames heard and
// the moments the output starts a sound, all on the window's thread.
class ExercisePane : public QWidget {
    Q_OBJECT
public:
    // soundStarted is called on the player's thread with the sound's number and the moment
    // it was heard from, and must hand them to the window.
    using SoundStarted = std::function<void(std::uint64_t sound, std::int64_t steadyNs)>;
    ExercisePane(ReferencePlayer& player, ProfileStore& profile, std::string devicePair,
                 SoundStarted soundStarted, QWidget* parent = nullptr);
    ~ExercisePane() override;

    ExerciseView* view() const { return view_; }
    // The view is up (an exercise, or its result): the window shows it in place of the trace.
    bool showing() const { return showing_; }
    // The delay is being measured: what is heard is the measuring sound, not a voice.
    bool measuring() const;
    // Whether the frames heard are wanted (an exercise is sung, the delay measured).
    bool keepsFrames() const { return (session_ && !over_) || measuring(); }

    void Heard(const PitchUpdate& update, double drawnPitch);
    void HeardFrames(const std::vector<std::int16_t>& mono, double endSeconds);
    void Started(std::uint64_t sound, std::int64_t steadyNs);
    // The input went away: an exercise ends with what was sung, a measurement without one.
    void InputLost();
    // Starts an exercise at once with these settings (the command line's), not kept.
    void StartWith(const ExerciseSettings& settings);
    // Reads a song and sings it at once, with these settings' tolerance and delay.
    void StartSong(const std::string& path, int track, int transpose, bool strictOctave,
                   const ExerciseSettings& settings);

signals:
    void ShowingChanged(bool showing);
    // keepsFrames() may have changed.
    void FramesWanted();

private:
    void Start();
    void SingSong();
    // Sings the session to the sound made by source (frames long).
    void Begin(ExerciseSession session, std::size_t frames, ReferencePlayer::Source source,
               const QString& told = {});
    ExerciseScorer::Settings Scoring(const ExerciseSettings& settings) const;
    void Stop();
    void Finish(const QString& why = {});
    void LookBack(std::int64_t id);
    void PlaceSession();
    void Replay();
    void Tick();
    void Back();
    void MeasureDelay();
    void Measured(int delayMs, const QString& text);
    void MeasureRange();
    void TestRange(const PitchUpdate& update);
    void EndRangeTest();
    // The callback for a new sound: moments told of an older one are not its.
    std::function<void(std::int64_t)> NewSound();
    void SetShowing(bool showing);
    void Busy(const QString& stop);

    ReferencePlayer& player_;
    ProfileStore& profile_;
    const std::string devicePair_;
    SoundStarted soundStarted_;
    std::uint64_t sound_ = 0; // the number of the sound played last
    CaptureClock clock_;
    static constexpr int kSettle = 6; // updates before a sound starts: the clock's bearings
    int heardUpdates_ = 0;
    std::function<void()> pending_; // a start waiting for them
    double now_ = 0.0;              // the newest update's capture time
    std::optional<ExerciseSession> session_;
    bool over_ = false;
    bool showing_ = false;
    std::vector<std::int16_t> take_; // mono at the pitch rate, from takeStart_
    double takeStart_ = 0.0;
    std::int64_t soundFrom_ = 0;  // steady ns the exercise's sound was heard from; 0: not yet
    std::int64_t replayFrom_ = 0; // steady ns the replay was heard from; 0: none
    DelayRun* delay_ = nullptr;
    std::optional<RangeTest> rangeTest_;
    TakeHistory::Take sung_; // what is sung now, as the history keeps it
    int songCountIn_ = 4;    // quarter notes before a melody played for want of audio
    TakeKeeper keeper_;
    QPushButton* start_ = nullptr;
    QPushButton* replay_ = nullptr;
    QPushButton* back_ = nullptr;
    QLabel* result_ = nullptr;
    ExerciseForm* form_ = nullptr;
    SongRow* songs_ = nullptr;
    ProgressWindow* progress_ = nullptr; // made when first asked for
    ExerciseView* view_ = nullptr;
    QTimer* replayTimer_ = nullptr;
};

} // namespace tessmar
