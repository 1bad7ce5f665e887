// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/pitch/ExercisePane.h"

#include "analysis/NoteNaming.h"
#include "platform/threads/SteadyNanos.h"
#include "practice/PitchFormat.h"
#include "practice/ReferencePlayer.h"
#include "practice/exercise/ExerciseSound.h"
#include "tools/pitch/ExerciseView.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <memory>

namespace tessmar {
namespace {

constexpr std::int32_t kLowestKey = 12, kHighestKey = 72; // C-1 .. C-6
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

QString Name(std::int32_t note) {
    return QString::fromStdString(NoteName(note));
}

QComboBox* Choices(QWidget* parent, std::initializer_list<const char*> texts) {
    auto* box = new QComboBox(parent);
    for (const char* text : texts) {
        box->addItem(QString::fromUtf8(text));
    }
    return box;
}

QSpinBox* Number(QWidget* parent, int low, int high, const char* suffix) {
    auto* box = new QSpinBox(parent);
    box->setRange(low, high);
    box->setSuffix(QString::fromUtf8(suffix));
    return box;
}

// A label with its buddy, so that Alt and the letter reach the control.
void Add(QBoxLayout* row, QWidget* parent, const char* text, QWidget* control) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setBuddy(control);
    row->addWidget(label);
    row->addWidget(control);
}

constexpr int kTolerances[] = {50, 25, 10};
constexpr std::size_t kWorstTold = 4;

} // namespace

ExercisePane::ExercisePane(ReferencePlayer& player, ProfileStore& profile, std::string devicePair,
                           SoundStarted soundStarted, QWidget* parent)
    : QWidget(parent), player_(player), profile_(profile), devicePair_(std::move(devicePair)),
      soundStarted_(std::move(soundStarted)) {
    settingsRow_ = new QWidget(this);
    kind_ = Choices(settingsRow_,
                    {"Ton treffen", "Ton halten", "Tonleiter", "Dreiklang", "Intervall (Quinte)"});
    voice_ = new QComboBox(settingsRow_);
    voice_->addItem(QStringLiteral("–"));
    for (const auto& v : ExerciseSettings::kVoices) {
        voice_->addItem(QString::fromUtf8(v.name));
    }
    voice_->addItem(QStringLiteral("Eigener Umfang (noch keiner)"));
    voice_->setToolTip(QStringLiteral(
        "Legt die Übung in den Stimmumfang. Den eigenen Umfang messen: „Umfang zurücksetzen“, "
        "dann den tiefsten und den höchsten bequemen Ton je eine Sekunde halten."));
    key_ = new QComboBox(settingsRow_);
    for (std::int32_t n = kLowestKey; n <= kHighestKey; ++n) {
        key_->addItem(Name(n));
    }
    rounds_ = Number(settingsRow_, 1, 24, "");
    direction_ = Choices(settingsRow_, {"aufwärts", "abwärts"});
    bpm_ = Number(settingsRow_, 30, 240, " bpm");
    tolerance_ = Choices(settingsRow_, {"±50 Cent", "±25 Cent", "±10 Cent"});
    reference_ = Choices(settingsRow_, {"vorher", "mit", "aus"});
    delay_ = Number(settingsRow_, 0, 1000, " ms");
    delay_->setToolTip(QStringLiteral("Von Lautsprecher zu Mikrofon; mit Kopfhörern meist 0"));
    measure_ = new QPushButton(QStringLiteral("Verzögerung &messen"), settingsRow_);
    measure_->setToolTip(QStringLiteral("Spielt einen kurzen Messton und sucht ihn in der "
                                        "Aufnahme: für Lautsprecher nahe am Mikrofon"));

    auto* first = new QHBoxLayout;
    Add(first, settingsRow_, "Ü&bung:", kind_);
    Add(first, settingsRow_, "S&timme:", voice_);
    Add(first, settingsRow_, "&Grundton:", key_);
    Add(first, settingsRow_, "R&unden:", rounds_);
    first->addWidget(direction_);
    first->addStretch(1);
    auto* second = new QHBoxLayout;
    Add(second, settingsRow_, "T&empo:", bpm_);
    Add(second, settingsRow_, "T&oleranz:", tolerance_);
    Add(second, settingsRow_, "&Vergleichston:", reference_);
    Add(second, settingsRow_, "Verzöge&rung:", delay_);
    second->addWidget(measure_);
    second->addStretch(1);
    auto* settingsBox = new QVBoxLayout(settingsRow_);
    settingsBox->setContentsMargins(0, 0, 0, 0);
    settingsBox->addLayout(first);
    settingsBox->addLayout(second);

    start_ = new QPushButton(QStringLiteral("Übung &starten"), this);
    replay_ = new QPushButton(QStringLiteral("&Anhören"), this);
    back_ = new QPushButton(QStringLiteral("&Freies Singen"), this);
    result_ = new QLabel(this);
    result_->setWordWrap(true);
    result_->setTextFormat(Qt::RichText);
    result_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    view_ = new ExerciseView(this);
    view_->hide(); // the window places it
    replayTimer_ = new QTimer(this);
    replayTimer_->setInterval(40);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(start_);
    buttons->addWidget(replay_);
    buttons->addWidget(back_);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(settingsRow_);
    layout->addLayout(buttons);
    layout->addWidget(result_);
    replay_->hide();
    back_->hide();
    result_->hide();

    connect(start_, &QPushButton::clicked, this, [this] { session_ && !over_ ? Stop() : Start(); });
    connect(replay_, &QPushButton::clicked, this, &ExercisePane::Replay);
    connect(measure_, &QPushButton::clicked, this, &ExercisePane::MeasureDelay);
    connect(back_, &QPushButton::clicked, this, &ExercisePane::Back);
    connect(replayTimer_, &QTimer::timeout, this, &ExercisePane::Tick);
    connect(voice_, &QComboBox::activated, this, &ExercisePane::FitVoice);
    connect(kind_, &QComboBox::activated, this, &ExercisePane::FitVoice);
    connect(direction_, &QComboBox::activated, this, &ExercisePane::FitVoice);
    Choose(ExerciseSettings::Load(profile_, devicePair_));
}

ExercisePane::~ExercisePane() = default;

void ExercisePane::Choose(const ExerciseSettings& s) {
    kind_->setCurrentIndex(int(s.exercise.kind));
    key_->setCurrentIndex(std::clamp(s.exercise.start, kLowestKey, kHighestKey) - kLowestKey);
    rounds_->setValue(s.exercise.rounds);
    direction_->setCurrentIndex(s.exercise.step < 0 ? 1 : 0);
    bpm_->setValue(s.exercise.bpm);
    tolerance_->setCurrentIndex(s.toleranceCents == 25 ? 1 : s.toleranceCents == 10 ? 2 : 0);
    reference_->setCurrentIndex(int(s.reference));
    delay_->setValue(s.delayMs);
    if (s.lowest >= 0) {
        SetSungRange(s.lowest, s.highest);
    }
    const int voice = s.voice == ExerciseSettings::kOwnRange
                          ? OwnRangeIndex()
                          : voice_->findText(QString::fromStdString(s.voice));
    voice_->setCurrentIndex(std::max(0, voice));
    concertA_ = s.concertA;
}

ExerciseSettings ExercisePane::Chosen() const {
    ExerciseSettings s;
    s.exercise.kind = Exercise::Kind(kind_->currentIndex());
    s.exercise.start = kLowestKey + key_->currentIndex();
    s.exercise.rounds = rounds_->value();
    s.exercise.step = direction_->currentIndex() == 1 ? -1 : 1;
    s.exercise.bpm = bpm_->value();
    s.toleranceCents = kTolerances[tolerance_->currentIndex()];
    s.reference = ExerciseSound::Reference(reference_->currentIndex());
    s.delayMs = delay_->value();
    const int voice = voice_->currentIndex();
    s.voice = voice == OwnRangeIndex() ? ExerciseSettings::kOwnRange
              : voice > 0              ? voice_->currentText().toStdString()
                                       : std::string();
    s.lowest = lowest_;
    s.highest = highest_;
    s.concertA = int(std::lround(player_.concertA()));
    return s;
}

// A voice type places the exercise in its range: the key note from its bottom (or top,
// going down), and no more rounds than fit.
void ExercisePane::FitVoice() {
    if (voice_->currentIndex() <= 0 || (voice_->currentIndex() == OwnRangeIndex() && lowest_ < 0)) {
        return;
    }
    ExerciseSettings s = Chosen();
    s.exercise.rounds = 24;
    const int voice = voice_->currentIndex();
    ExerciseSettings::FitTo(
        voice == OwnRangeIndex()
            ? ExerciseSettings::Voice{ExerciseSettings::kOwnRange, lowest_, highest_}
            : ExerciseSettings::kVoices[voice - 1],
        s.exercise);
    s.exercise.rounds = std::min(s.exercise.rounds, std::max(rounds_->value(), 5));
    key_->setCurrentIndex(std::clamp(s.exercise.start, kLowestKey, kHighestKey) - kLowestKey);
    rounds_->setValue(s.exercise.rounds);
}

void ExercisePane::Start() {
    ExerciseSettings s = Chosen();
    s.concertA = concertA_;
    s.Save(profile_, devicePair_); // a file that can't be written only forgets the settings
    StartWith(s);
}

int ExercisePane::OwnRangeIndex() const {
    return voice_->count() - 1;
}

void ExercisePane::SetSungRange(std::int32_t lowest, std::int32_t highest) {
    if (lowest < 0 || (lowest == lowest_ && highest == highest_)) {
        return;
    }
    lowest_ = lowest;
    highest_ = highest;
    voice_->setItemText(
        OwnRangeIndex(),
        QStringLiteral("Eigener Umfang (%1 bis %2)").arg(Name(lowest), Name(highest)));
}

void ExercisePane::StartWith(const ExerciseSettings& s) {
    Choose(s);
    for (const TargetNote& t : s.exercise.Targets()) {
        if (NoteName(t.note).empty()) {
            result_->setText(QStringLiteral("Die Übung reicht über die Töne von C-0 bis G-10 "
                                            "hinaus; bitte einen anderen Grundton oder weniger "
                                            "Runden wählen."));
            result_->show();
            return;
        }
    }
    session_.emplace(s.exercise, ExerciseScorer::Settings{double(s.toleranceCents),
                                                          s.delayMs / 1000.0, player_.concertA(),
                                                          double(kPitchWindowFrames) / kPitchRate});
    // Placed for now just ahead; the output's start places it surely.
    session_->Place((clock_.known() ? clock_.SecondsAt(SteadyNanos()) : now_) + 0.3);
    over_ = false;
    soundFrom_ = 0;
    take_.clear();
    replayFrom_ = 0;
    replayTimer_->stop();
    auto sound = std::make_shared<ExerciseSound>(s.exercise, s.reference, ReferencePlayer::kRate,
                                                 player_.concertA());
    player_.PlayMade(
        sound->frames(),
        [sound](std::size_t from, std::int16_t* out, std::size_t count) {
            sound->Render(from, out, count);
        },
        NewSound());
    start_->setText(QStringLiteral("Übung &abbrechen"));
    settingsRow_->setEnabled(false);
    replay_->hide();
    back_->hide();
    result_->hide();
    SetShowing(true);
    emit FramesWanted();
    view_->ShowLive(&*session_, now_);
}

void ExercisePane::Stop() {
    Back();
    start_->setText(QStringLiteral("Übung &starten"));
    settingsRow_->setEnabled(true);
}

void ExercisePane::Back() {
    player_.Stop();
    replayTimer_->stop();
    replay_->hide();
    back_->hide();
    result_->hide();
    session_.reset();
    SetShowing(false);
}

void ExercisePane::SetShowing(bool showing) {
    if (showing != showing_) {
        showing_ = showing;
        emit ShowingChanged(showing);
    }
}

// The exercise begins where the output played its first frame, on the capture clock; the
// sound may start before the first update comes in, and the clock grows surer with each.
void ExercisePane::PlaceSession() {
    if (soundFrom_ != 0 && clock_.known()) {
        session_->Place(clock_.SecondsAt(soundFrom_));
    }
}

void ExercisePane::Heard(const PitchUpdate& update, double drawnPitch) {
    clock_.Add(update.seconds, update.filledAt);
    now_ = update.seconds;
    if (measuring_) {
        Measured();
        return;
    }
    if (!session_ || over_) {
        return;
    }
    PlaceSession();
    session_->Add(update, drawnPitch);
    if (session_->Over()) {
        Finish();
    } else {
        view_->ShowLive(&*session_, now_);
    }
}

void ExercisePane::HeardFrames(const std::vector<std::int16_t>& mono, double endSeconds) {
    if (measuring_) {
        measuring_->Heard(mono.data(), mono.size(), endSeconds, 1);
        return;
    }
    if (take_.empty()) {
        takeStart_ = endSeconds - double(mono.size()) / kPitchRate;
    }
    take_.insert(take_.end(), mono.begin(), mono.end());
}

std::function<void(std::int64_t)> ExercisePane::NewSound() {
    return [tell = soundStarted_, sound = ++sound_](std::int64_t ns) { tell(sound, ns); };
}

void ExercisePane::Started(std::uint64_t sound, std::int64_t steadyNs) {
    if (sound != sound_) {
        return; // a sound stopped since
    }
    if (measuring_) {
        measureFrom_ = steadyNs;
    } else if (replayFrom_ != 0 || (session_ && over_)) {
        replayFrom_ = steadyNs; // the replay's, surer each time
    } else if (session_) {
        soundFrom_ = steadyNs;
        PlaceSession();
    }
}

void ExercisePane::MeasureDelay() {
    Back(); // its button is in the settings, which an exercise being sung disables
    measuring_.emplace(kPitchRate);
    measureFrom_ = 0;
    measureBegan_ = now_;
    player_.PlayFrames(DelayMeasurement::Sound(ReferencePlayer::kRate), NewSound());
    // Without updates nothing would end it: the input may be missing.
    QTimer::singleShot(std::chrono::seconds(8), this, [this, sound = sound_] {
        if (measuring_ && sound == sound_) {
            EndMeasuring(QStringLiteral("Keine Verzögerung gemessen: Vom Aufnahmegerät kam "
                                        "nichts an."));
        }
    });
    emit FramesWanted();
    settingsRow_->setEnabled(false);
    start_->setEnabled(false);
    result_->setText(QStringLiteral("Die Verzögerung wird gemessen …"));
    result_->show();
}

// Each update places the sound's start anew, as the clock grows surer, until enough has
// been heard after it.
void ExercisePane::Measured() {
    if (measureFrom_ != 0 && clock_.known()) {
        measuring_->Started(clock_.SecondsAt(measureFrom_));
    }
    constexpr double kGiveUp = 6.0;
    if (!measuring_->Done() && now_ - measureBegan_ < kGiveUp) {
        return;
    }
    std::string why = measureFrom_ == 0 ? "Das Wiedergabegerät spielt den Messton nicht ab"
                                        : "Die Aufnahme kam ins Stocken";
    const std::optional<int> delay = measuring_->Done() ? measuring_->Result(why) : std::nullopt;
    if (delay) {
        delay_->setValue(*delay);
        ExerciseSettings s = Chosen();
        s.concertA = concertA_;
        s.Save(profile_, devicePair_);
    }
    EndMeasuring(delay ? QStringLiteral("Verzögerung: %1 ms gemessen und übernommen.").arg(*delay)
                       : QStringLiteral("Keine Verzögerung gemessen: %1.")
                             .arg(QString::fromStdString(why).toHtmlEscaped()));
}

void ExercisePane::EndMeasuring(const QString& text) {
    player_.Stop();
    measuring_.reset();
    settingsRow_->setEnabled(true);
    start_->setEnabled(true);
    result_->setText(text);
    emit FramesWanted();
}

void ExercisePane::InputLost() {
    if (measuring_) {
        EndMeasuring(QStringLiteral("Keine Verzögerung gemessen: Die Aufnahme brach ab."));
    } else if (session_ && !over_) {
        player_.Stop();
        Finish(QStringLiteral("Die Übung endete vorzeitig, weil die Aufnahme abbrach; bewertet "
                              "ist, was bis dahin gesungen wurde."));
    }
}

void ExercisePane::Finish(const QString& why) {
    over_ = true;
    const std::vector<NoteScore> scores = session_->Scores();
    QString text = QStringLiteral("<b>Gesamt: %1 von 100</b>").arg(ExerciseScorer::Total(scores));
    if (!why.isEmpty()) {
        text += QStringLiteral("<br>") + why.toHtmlEscaped();
    }
    // The worst few notes in words; the picture shows the rest.
    for (const std::string& line : ExerciseSession::Result(scores, kWorstTold)) {
        text += QStringLiteral("<br>") + QString::fromStdString(line).toHtmlEscaped();
    }
    result_->setText(text);
    result_->show();
    start_->setText(QStringLiteral("Übung &starten"));
    settingsRow_->setEnabled(true);
    replay_->setVisible(!take_.empty());
    back_->show();
    view_->ShowWhole(&*session_, kNaN);
}

void ExercisePane::Replay() {
    replayFrom_ = SteadyNanos() + 200'000'000; // until the output says when
    player_.PlayMono(take_, kPitchRate, NewSound());
    replayTimer_->start();
}

void ExercisePane::Tick() {
    const double played = double(SteadyNanos() - replayFrom_) * 1e-9;
    if (!session_ || played > double(take_.size()) / kPitchRate) {
        replayTimer_->stop();
        if (session_) {
            view_->ShowWhole(&*session_, kNaN);
        }
        return;
    }
    view_->ShowWhole(&*session_, played < 0.0 ? kNaN : takeStart_ + played - session_->delay());
}

} // namespace tessmar
