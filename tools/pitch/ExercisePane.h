// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/CaptureClock.h"
#include "practice/PitchUpdate.h"
#include "practice/delay/DelayMeasurement.h"
#include "practice/exercise/ExerciseSession.h"
#include "practice/exercise/ExerciseSettings.h"

#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTimer;

namespace tessmar {

class ExerciseView;
class ProfileStore;
class ReferencePlayer;

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
    bool measuring() const { return measuring_.has_value(); }
    // Whether the frames heard are wanted (an exercise is sung, the delay measured).
    bool keepsFrames() const { return (session_ && !over_) || measuring_; }

    void Heard(const PitchUpdate& update, double drawnPitch);
    void HeardFrames(const std::vector<std::int16_t>& mono, double endSeconds);
    // The range held so far in free singing, offered as the singer's own.
    void SetSungRange(std::int32_t lowest, std::int32_t highest);
    void Started(std::uint64_t sound, std::int64_t steadyNs);
    // The input went away: an exercise ends with what was sung, a measurement without one.
    void InputLost();
    // Starts an exercise at once with these settings (the command line's), not kept.
    void StartWith(const ExerciseSettings& settings);

signals:
    void ShowingChanged(bool showing);
    // keepsFrames() may have changed.
    void FramesWanted();

private:
    void Start();
    void Stop();
    void Finish(const QString& why = {});
    void PlaceSession();
    void Replay();
    void Tick();
    void Back();
    void MeasureDelay();
    void Measured();
    void EndMeasuring(const QString& text);
    // The callback for a new sound: moments told of an older one are not its.
    std::function<void(std::int64_t)> NewSound();
    ExerciseSettings Chosen() const;
    void Choose(const ExerciseSettings& settings);
    void FitVoice();
    int OwnRangeIndex() const;
    void SetShowing(bool showing);

    ReferencePlayer& player_;
    ProfileStore& profile_;
    const std::string devicePair_;
    SoundStarted soundStarted_;
    std::uint64_t sound_ = 0; // the number of the sound played last
    CaptureClock clock_;
    double now_ = 0.0; // the newest update's capture time
    std::optional<ExerciseSession> session_;
    bool over_ = false;
    bool showing_ = false;
    std::vector<std::int16_t> take_; // mono at the pitch rate, from takeStart_
    double takeStart_ = 0.0;
    std::int64_t soundFrom_ = 0;  // steady ns the exercise's sound was heard from; 0: not yet
    std::int64_t replayFrom_ = 0; // steady ns the replay was heard from; 0: none
    std::optional<DelayMeasurement> measuring_;
    std::int64_t measureFrom_ = 0; // steady ns the measuring sound was heard from; 0: not yet
    double measureBegan_ = 0.0;    // capture time
    QComboBox* kind_ = nullptr;
    QComboBox* voice_ = nullptr;
    QComboBox* key_ = nullptr;
    QSpinBox* rounds_ = nullptr;
    QComboBox* direction_ = nullptr;
    QSpinBox* bpm_ = nullptr;
    QComboBox* tolerance_ = nullptr;
    QComboBox* reference_ = nullptr;
    QSpinBox* delay_ = nullptr;
    QPushButton* measure_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* replay_ = nullptr;
    QPushButton* back_ = nullptr;
    QLabel* result_ = nullptr;
    QWidget* settingsRow_ = nullptr;
    ExerciseView* view_ = nullptr;
    QTimer* replayTimer_ = nullptr;
    int concertA_ = 440;
    std::int32_t lowest_ = -1, highest_ = -1; // the singer's own range; -1: none
};

} // namespace tessmar
