// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/pitch/ExercisePane.h"

#include "analysis/NoteNaming.h"
#include "platform/threads/SteadyNanos.h"
#include "practice/PitchFormat.h"
#include "practice/ReferencePlayer.h"
#include "practice/exercise/ExerciseSound.h"
#include "practice/history/Progress.h"
#include "practice/song/SongSound.h"
#include "tools/pitch/DelayRun.h"
#include "tools/pitch/ExerciseForm.h"
#include "tools/pitch/ExerciseView.h"
#include "tools/pitch/ProgressWindow.h"
#include "tools/pitch/SongRow.h"

#include <QBoxLayout>
#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>
#include <memory>
#include <utility>

namespace tessmar {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

constexpr std::size_t kWorstTold = 4;

// The result: its head in bold, why it ended early, and the worst few notes in words (the
// picture shows the rest).
QString ResultText(const QString& head, const QString& why, const std::vector<NoteScore>& scores) {
    QString text = QStringLiteral("<b>%1</b>").arg(head.toHtmlEscaped());
    if (!why.isEmpty()) {
        text += QStringLiteral("<br>") + why.toHtmlEscaped();
    }
    for (const std::string& line : ExerciseSession::Result(scores, kWorstTold)) {
        text += QStringLiteral("<br>") + QString::fromStdString(line).toHtmlEscaped();
    }
    return text;
}

} // namespace

ExercisePane::ExercisePane(ReferencePlayer& player, ProfileStore& profile, std::string devicePair,
                           SoundStarted soundStarted, QWidget* parent)
    : QWidget(parent), player_(player), profile_(profile), devicePair_(std::move(devicePair)),
      soundStarted_(std::move(soundStarted)) {
    form_ = new ExerciseForm(this);
    delay_ = new DelayRun(player_, this);
    songs_ = new SongRow(this);
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
    auto* progress = new QPushButton(QStringLiteral("Verlauf …"), this);
    progress->setToolTip(QStringLiteral("Die Wertungen über die Tage, der Umfang über die "
                                        "Wochen und die Töne, die am häufigsten daneben lagen"));
    buttons->addWidget(progress);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(form_);
    layout->addWidget(songs_);
    layout->addLayout(buttons);
    layout->addWidget(result_);
    replay_->hide();
    back_->hide();
    result_->hide();

    connect(start_, &QPushButton::clicked, this, [this] {
        if (delay_->running()) {
            delay_->Stop(QStringLiteral("Die Messung wurde abgebrochen"));
        } else {
            rangeTest_ ? EndRangeTest() : (session_ && !over_) || pending_ ? Stop() : Start();
        }
    });
    connect(replay_, &QPushButton::clicked, this, &ExercisePane::Replay);
    connect(progress, &QPushButton::clicked, this, [this] {
        if (!progress_) {
            progress_ = new ProgressWindow(this);
        }
        progress_->Refresh();
        connect(progress_, &ProgressWindow::LookBack, this, &ExercisePane::LookBack,
                Qt::UniqueConnection);
        progress_->show();
        progress_->raise();
    });
    connect(back_, &QPushButton::clicked, this, &ExercisePane::Back);
    connect(replayTimer_, &QTimer::timeout, this, &ExercisePane::Tick);
    connect(form_, &ExerciseForm::MeasureRange, this, &ExercisePane::MeasureRange);
    connect(form_, &ExerciseForm::MeasureDelay, this, &ExercisePane::MeasureDelay);
    connect(delay_, &DelayRun::Ended, this, &ExercisePane::Measured);
    connect(songs_, &SongRow::Sing, this, &ExercisePane::SingSong);
    connect(songs_, &SongRow::Told, this, [this](const QString& text) {
        result_->setText(text.toHtmlEscaped());
        result_->show();
    });
    form_->Choose(ExerciseSettings::Load(profile_, devicePair_));
}

ExercisePane::~ExercisePane() = default;

bool ExercisePane::measuring() const {
    return delay_->running();
}

void ExercisePane::Start() {
    const ExerciseSettings s = form_->Chosen();
    s.Save(profile_, devicePair_); // a file that can't be written only forgets the settings
    StartWith(s);
}

void ExercisePane::StartWith(const ExerciseSettings& s) {
    form_->Choose(s);
    for (const TargetNote& t : s.exercise.Targets()) {
        if (NoteName(t.note).empty()) {
            result_->setText(QStringLiteral("Die Übung reicht über die Töne von C-0 bis G-10 "
                                            "hinaus; bitte einen anderen Grundton oder weniger "
                                            "Runden wählen."));
            result_->show();
            return;
        }
    }
    sung_ = {};
    sung_.kind = "uebung";
    sung_.name = Exercise::NameOf(s.exercise.kind);
    sung_.detail = NoteName(s.exercise.start);
    auto sound = std::make_shared<ExerciseSound>(s.exercise, s.reference, ReferencePlayer::kRate,
                                                 player_.concertA());
    Begin(ExerciseSession(s.exercise, Scoring(s)), sound->frames(),
          [sound](std::size_t from, std::int16_t* out, std::size_t count) {
              sound->Render(from, out, count);
          });
}

ExerciseScorer::Settings ExercisePane::Scoring(const ExerciseSettings& s) const {
    return {double(s.toleranceCents), s.delayMs / 1000.0, player_.concertA(),
            double(kPitchWindowFrames) / kPitchRate};
}

void ExercisePane::StartSong(const std::string& path, int track, int transpose, bool strictOctave,
                             const ExerciseSettings& settings) {
    form_->Choose(settings);
    songCountIn_ = settings.exercise.countInBeats;
    if (songs_->Load(QString::fromStdString(path), track, transpose, strictOctave)) {
        SingSong();
    }
}

// The song's voice with the tolerance and delay chosen for the exercises.
void ExercisePane::SingSong() {
    std::string error;
    auto prepared = songs_->Prepare(Scoring(form_->Chosen()), songCountIn_, sung_, error);
    if (!prepared) {
        result_->setText(QString::fromStdString(error).toHtmlEscaped());
        result_->show();
        return;
    }
    const std::shared_ptr<SongSound> sound = prepared->sound;
    Begin(
        std::move(prepared->session), sound->frames(),
        [sound](std::size_t from, std::int16_t* out, std::size_t count) {
            sound->Render(from, out, count);
        },
        QString::fromStdString(sound->told()));
}

void ExercisePane::Begin(ExerciseSession session, std::size_t frames,
                         ReferencePlayer::Source source, const QString& told) {
    // Started with the program, the sound waits for the input's first updates: an output
    // opened while the input still starts can tell its first frame's moment seconds early
    // (seen with a sound server's idle sink), and every target would be off by as much.
    if (heardUpdates_ < kSettle) {
        pending_ = [this, session, frames, source, told] { Begin(session, frames, source, told); };
        Busy(QStringLiteral("&Abbrechen"));
        result_->setText(QStringLiteral("Es beginnt, sobald das Aufnahmegerät etwas liefert …"));
        result_->show();
        return;
    }
    session_.emplace(std::move(session));
    // Placed for now just ahead; the output's start places it surely.
    session_->Place((clock_.known() ? clock_.SecondsAt(SteadyNanos()) : now_) + 0.3);
    over_ = false;
    soundFrom_ = 0;
    take_.clear();
    replayFrom_ = 0;
    replayTimer_->stop();
    player_.PlayMade(frames, std::move(source), NewSound());
    Busy(QStringLiteral("&Abbrechen"));
    replay_->hide();
    back_->hide();
    result_->hide();
    SetShowing(true);
    emit FramesWanted();
    view_->ShowLive(&*session_, now_);
    if (!told.isEmpty()) {
        result_->setText(told.toHtmlEscaped());
        result_->show();
    }
}

void ExercisePane::Stop() {
    Back();
    Busy({});
}

void ExercisePane::Back() {
    pending_ = nullptr; // a start still waiting for the input is called off too
    player_.Stop();
    replayTimer_->stop();
    replay_->hide();
    back_->hide();
    result_->hide();
    session_.reset();
    SetShowing(false);
}

// While something runs, the settings rest and the start button calls it off (stop: its
// text); empty: nothing runs.
void ExercisePane::Busy(const QString& stop) {
    form_->setEnabled(stop.isEmpty());
    songs_->setEnabled(stop.isEmpty());
    start_->setText(stop.isEmpty() ? QStringLiteral("Übung &starten") : stop);
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
    if (++heardUpdates_ >= kSettle && pending_) {
        std::exchange(pending_, nullptr)();
    }
    if (delay_->running()) {
        delay_->Update(clock_, now_);
        return;
    }
    if (rangeTest_) {
        TestRange(update);
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
    if (delay_->running()) {
        delay_->Heard(mono, endSeconds);
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
    if (delay_->running()) {
        delay_->StartedAt(steadyNs);
    } else if (replayFrom_ != 0 || (session_ && over_)) {
        replayFrom_ = steadyNs; // the replay's, surer each time
    } else if (session_) {
        soundFrom_ = steadyNs;
        PlaceSession();
    }
}

void ExercisePane::MeasureDelay() {
    Back(); // its button is in the settings, which an exercise being sung disables
    Busy(QStringLiteral("Messung &abbrechen"));
    delay_->Start(now_, NewSound());
    emit FramesWanted();
    result_->setText(QStringLiteral("Die Verzögerung wird gemessen …"));
    result_->show();
}

void ExercisePane::Measured(int delayMs, const QString& text) {
    if (delayMs >= 0) {
        form_->SetDelay(delayMs);
        form_->Chosen().Save(profile_, devicePair_);
    }
    Busy({});
    result_->setText(text.toHtmlEscaped());
    emit FramesWanted();
}

void ExercisePane::MeasureRange() {
    Back();
    rangeTest_.emplace();
    Busy(QStringLiteral("Messung &abbrechen"));
    result_->setText(QString::fromStdString(rangeTest_->Told()));
    result_->show();
}

void ExercisePane::TestRange(const PitchUpdate& update) {
    rangeTest_->Add(update);
    result_->setText(QString::fromStdString(rangeTest_->Told()).toHtmlEscaped());
    if (rangeTest_->step() == RangeTest::Step::Done) {
        form_->ChooseOwnRange(rangeTest_->lowest(), rangeTest_->highest());
        form_->Chosen().Save(profile_, devicePair_);
    }
    if (rangeTest_->step() == RangeTest::Step::Done ||
        rangeTest_->step() == RangeTest::Step::Failed) {
        EndRangeTest();
    }
}

// Ends the test, done or not; what it told stays.
void ExercisePane::EndRangeTest() {
    rangeTest_.reset();
    Busy({});
}

void ExercisePane::InputLost() {
    heardUpdates_ = 0; // a start waits for the input to come back and settle
    if (rangeTest_) {
        EndRangeTest();
        result_->setText(QStringLiteral("Kein Umfang gemessen: Die Aufnahme brach ab."));
    } else if (delay_->running()) {
        delay_->Stop(QStringLiteral("Die Aufnahme brach ab"));
    } else if (session_ && !over_) {
        player_.Stop();
        Finish(QStringLiteral("%1 endete vorzeitig, weil die Aufnahme abbrach; bewertet ist, "
                              "was bis dahin gesungen wurde.")
                   .arg(sung_.kind == "lied" ? QStringLiteral("Das Lied")
                                             : QStringLiteral("Die Übung")));
    }
}

void ExercisePane::Finish(const QString& why) {
    over_ = true;
    const std::vector<NoteScore> scores = session_->Scores();
    QString text = ResultText(
        QStringLiteral("Gesamt: %1 von 100").arg(ExerciseScorer::Total(scores)), why, scores);
    if (why.isEmpty()) { // sung to its end: kept for the look back and the progress
        std::string error;
        if (!keeper_.Keep(sung_, *session_, scores, take_, takeStart_, error)) {
            text += QStringLiteral("<br>Der Verlauf nimmt sie nicht auf: %1.")
                        .arg(QString::fromStdString(error).toHtmlEscaped());
        }
    }
    result_->setText(text);
    result_->show();
    Busy({});
    replay_->setVisible(!take_.empty());
    back_->show();
    view_->ShowWhole(&*session_, kNaN);
}

// A take kept, shown again as when it ended: the whole picture, the result in words and,
// where its recording is there, the replay under the cursor.
void ExercisePane::LookBack(std::int64_t id) {
    if ((session_ && !over_) || pending_ || delay_->running() || rangeTest_) {
        return; // not over a take being sung or a measurement
    }
    std::string error;
    auto looked = keeper_.LookBack(id, player_.concertA(), error);
    if (!looked) {
        result_->setText(QStringLiteral("Die Aufnahme lässt sich nicht zeigen: %1.")
                             .arg(QString::fromStdString(error).toHtmlEscaped()));
        result_->show();
        return;
    }
    // Not Back(): the trace shown for a moment between two pictures grows the window.
    player_.Stop();
    replayTimer_->stop();
    session_.emplace(std::move(looked->session));
    over_ = true;
    take_ = std::move(looked->recording);
    takeStart_ = looked->take.recordingStart;
    result_->setText(ResultText(QStringLiteral("%1 vom %2: %3 von 100")
                                    .arg(QString::fromStdString(Progress::Shown(looked->take)),
                                         QDateTime::fromSecsSinceEpoch(looked->take.at)
                                             .toString(QStringLiteral("d.M.yyyy, H:mm")))
                                    .arg(looked->take.total),
                                {}, looked->take.notes));
    result_->show();
    replay_->setVisible(!take_.empty());
    back_->show();
    SetShowing(true);
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
