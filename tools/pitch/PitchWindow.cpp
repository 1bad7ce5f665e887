// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/pitch/PitchWindow.h"

#include "analysis/NoteNaming.h"
#include "analysis/SungPitch.h"
#include "platform/threads/SteadyNanos.h"
#include "practice/LevelHint.h"
#include "practice/PitchLog.h"
#include "practice/ReferencePlayer.h"
#include "tools/pitch/CentsMeter.h"
#include "tools/pitch/ExercisePane.h"
#include "tools/pitch/ExerciseView.h"
#include "tools/pitch/LevelMeter.h"
#include "tools/pitch/PitchTrace.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>
#include <cmath>
#include <limits>

namespace tessmar {
namespace {

QString Name(std::int32_t note) {
    return QString::fromStdString(NoteName(note));
}

// Pitch classes of the keys C D E F G A H; Shift raises by a semitone.
int PitchClassOfKey(int key) {
    switch (key) {
    case Qt::Key_C:
        return 0;
    case Qt::Key_D:
        return 2;
    case Qt::Key_E:
        return 4;
    case Qt::Key_F:
        return 5;
    case Qt::Key_G:
        return 7;
    case Qt::Key_A:
        return 9;
    case Qt::Key_H:
        return 11;
    default:
        return -1;
    }
}

} // namespace

PitchWindow::PitchWindow(ReferencePlayer& player, PitchLog* log, ProfileStore& profile,
                         const std::string& devicePair, QWidget* parent)
    : QWidget(parent), player_(player), log_(log), doorbell_([this] { Drain(); }, this) {
    mailbox_.Edit([](Batch& waiting) {
        waiting.updates.reserve(kBatchRoom);
        waiting.frames.reserve(kBatchRoom * kPitchHopFrames);
    });
    taken_.updates.reserve(kBatchRoom);
    taken_.frames.reserve(kBatchRoom * kPitchHopFrames);
    setWindowTitle(QStringLiteral("Tessmar – Tonhöhe"));
    // Latin text only: the figures change five times a second, and shaping them each time
    // took a twelfth of the window thread's time.
    QFont plain = font();
    plain.setStyleStrategy(QFont::PreferNoShaping);
    setFont(plain);

    note_ = new QLabel(QStringLiteral("–"), this);
    QFont big = note_->font();
    big.setPointSize(40);
    big.setBold(true);
    note_->setFont(big);
    // Labels of a fixed size: a new text repaints the label, not the window's layout.
    note_->setFixedSize(note_->fontMetrics().horizontalAdvance(QStringLiteral("C#-10")) + 8,
                        note_->fontMetrics().height() + 4);
    note_->setAlignment(Qt::AlignCenter);
    note_->setAccessibleName(QStringLiteral("Gesungener Ton"));
    hz_ = new QLabel(this);
    hz_->setAlignment(Qt::AlignCenter);
    hz_->setFixedSize(hz_->fontMetrics().horizontalAdvance(QStringLiteral("0000.0 Hz  +00 Cent")) +
                          8,
                      hz_->fontMetrics().height() + 2);
    cents_ = new CentsMeter(this);
    trace_ = new PitchTrace(latency_, this);
    level_ = new LevelMeter(this);
    hint_ = new QLabel(this);
    // Room for the longer hint, so that neither is cut off.
    const QFontMetrics hintFont = hint_->fontMetrics();
    hint_->setFixedSize(std::max(hintFont.horizontalAdvance(QString::fromUtf8(LevelHint::kClipped)),
                                 hintFont.horizontalAdvance(QString::fromUtf8(LevelHint::kQuiet))) +
                            8,
                        hintFont.height() + 2);
    range_label_ = new QLabel(this);
    reset_ = new QPushButton(QStringLiteral("Umfang &zurücksetzen"), this);
    device_ = new QLabel(this);
    device_->setWordWrap(true);
    device_->setStyleSheet(QStringLiteral("color: #b02020; font-weight: bold"));
    device_->hide();

    auto* noteBox = new QVBoxLayout;
    noteBox->addWidget(note_);
    noteBox->addWidget(hz_);
    auto* top = new QHBoxLayout;
    top->addLayout(noteBox);
    top->addWidget(cents_, 1);
    auto* levelRow = new QHBoxLayout;
    levelRow->addWidget(new QLabel(QStringLiteral("Pegel:"), this));
    levelRow->addWidget(level_, 1);
    levelRow->addWidget(hint_);
    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(range_label_, 1);
    rangeRow->addWidget(reset_);
    help_ = new QLabel(this);
    help_->setWordWrap(true);
    ShowKeyOctave();
    exercise_ = new ExercisePane(
        player_, profile, devicePair,
        [this](std::uint64_t sound, std::int64_t ns) { SoundStarted(sound, ns); }, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(device_);
    layout->addLayout(top);
    layout->addWidget(trace_, 1);
    layout->addWidget(exercise_->view(), 1);
    layout->addLayout(levelRow);
    layout->addLayout(rangeRow);
    layout->addWidget(exercise_);
    layout->addWidget(help_);
    connect(exercise_, &ExercisePane::ShowingChanged, this, [this](bool showing) {
        trace_->setVisible(!showing);
        exercise_->view()->setVisible(showing);
        help_->setVisible(!showing);
        keepFrames_ = exercise_->keepsFrames();
    });
    connect(exercise_, &ExercisePane::FramesWanted, this,
            [this] { keepFrames_ = exercise_->keepsFrames(); });

    connect(trace_, &PitchTrace::NoteClicked, this, &PitchWindow::PlayReference);
    connect(reset_, &QPushButton::clicked, this, [this] {
        range_.Reset();
        ShowRange();
    });
    ShowRange();
    setFocusPolicy(Qt::StrongFocus);
}

// The player outlives the window and may be about to tell it a sound started: it stops
// first, while the mailbox is still there.
PitchWindow::~PitchWindow() {
    player_.Stop();
}

void PitchWindow::Shown(const PitchUpdate& update) {
    if (mailbox_.Post([&update](Batch& waiting) { waiting.updates.push_back(update); })) {
        doorbell_.Ring();
    }
}

void PitchWindow::Frames(const std::int16_t* frames, std::size_t count, double endSeconds) {
    if (!keepFrames_) {
        return;
    }
    const bool ring = mailbox_.Post([&](Batch& waiting) {
        for (std::size_t k = 0; k < count; ++k) {
            waiting.frames.push_back(std::int16_t((frames[2 * k] + frames[2 * k + 1]) / 2));
        }
        waiting.framesEnd = endSeconds;
    });
    if (ring) { // the first news since the window last took them
        doorbell_.Ring();
    }
}

void PitchWindow::SoundStarted(std::uint64_t sound, std::int64_t steadyNs) {
    const bool ring = mailbox_.Post([sound, steadyNs](Batch& waiting) {
        waiting.sound = sound;
        waiting.soundStarted = steadyNs;
    });
    if (ring) {
        doorbell_.Ring();
    }
}

void PitchWindow::StartExercise(const ExerciseSettings& settings) {
    exercise_->StartWith(settings);
}

void PitchWindow::StartSong(const std::string& path, int track, int transpose, bool strictOctave,
                            const ExerciseSettings& settings) {
    exercise_->StartSong(path, track, transpose, strictOctave, settings);
}

void PitchWindow::DeviceState(const std::string& message) {
    const bool ring = mailbox_.Post([&message](Batch& waiting) {
        waiting.deviceChanged = true;
        waiting.deviceMessage = message;
    });
    if (ring) {
        doorbell_.Ring();
    }
}

void PitchWindow::Drain() {
    const std::int64_t taken = latency_.active() ? SteadyNanos() : 0;
    // The batch drained last goes back emptied, its room kept.
    mailbox_.Take([this](Batch& waiting) {
        std::swap(taken_, waiting);
        waiting.updates.clear();
        waiting.deviceChanged = false;
        waiting.frames.clear();
        waiting.soundStarted = 0;
    });
    const Batch& contents = taken_;
    if (contents.deviceChanged) {
        device_->setText(QString::fromStdString(contents.deviceMessage));
        device_->setVisible(!contents.deviceMessage.empty());
        if (!contents.deviceMessage.empty()) {
            // Nothing is heard: no stale note or level, and a gap in the trace.
            Show(PitchUpdate{});
            exercise_->InputLost();
            trace_->Add({{std::numeric_limits<double>::quiet_NaN(), {}}});
        }
    }
    if (!contents.frames.empty()) {
        exercise_->HeardFrames(contents.frames, contents.framesEnd);
    }
    points_.clear();
    for (const PitchUpdate& update : contents.updates) {
        if (log_) {
            log_->Write(update);
        }
        if (!exercise_->measuring() && range_.Add(update)) {
            ShowRange();
        }
        points_.push_back(
            {TracePitch(update, player_.concertA()), {update.filledAt, update.estimatedAt, taken}});
        exercise_->Heard(update, points_.back().note);
    }
    if (contents.soundStarted != 0) {
        exercise_->Started(contents.sound, contents.soundStarted);
    }
    keepFrames_ = exercise_->keepsFrames();
    if (contents.updates.empty()) {
        return;
    }
    // The meters first, so that the trace's immediate repaint paints them in the same pass.
    Show(contents.updates.back());
    if (exercise_->measuring()) {
        points_.assign(points_.size(), {std::numeric_limits<double>::quiet_NaN(), {}});
    }
    if (!exercise_->showing()) {
        trace_->Add(points_);
        ShowKeyOctave();
    }
}

// The trace shows the voice as sung, its vibrato and its steps, in the octave of the pitch
// held: an estimate an octave astray doesn't throw the line (and the grid) away.
double PitchWindow::TracePitch(const PitchUpdate& update, double concertA) {
    if (!(update.hz > 0.0) || update.note < 0) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    const SungPitch sung = SungPitch::FromHz(update.hz, concertA);
    const double estimate = sung.nearest + sung.cents / 100.0;
    const double held = update.note + update.cents / 100.0;
    return estimate - 12.0 * std::round((estimate - held) / 12.0);
}

void PitchWindow::Show(const PitchUpdate& update) {
    const bool pitch = update.hz > 0.0;
    const QString note = pitch ? Name(update.note) : QStringLiteral("–");
    const bool noteChanged = note != shownNote_;
    if (noteChanged) {
        shownNote_ = note;
        note_->setText(note);
    }
    // The figures and the needle show one value, the pitch held: it moves slowly enough to
    // be read at every update.
    const double heldHz =
        player_.concertA() * std::exp2((update.note - 45 + update.cents / 100.0) / 12.0);
    const QString hz = pitch ? QStringLiteral("%1 Hz  %2%3 Cent")
                                   .arg(heldHz, 0, 'f', 1)
                                   .arg(update.cents >= 0 ? QStringLiteral("+") : QString())
                                   .arg(std::lround(update.cents))
                             : QString();
    if (hz != shownHz_) {
        shownHz_ = hz;
        hz_->setText(hz);
    }
    cents_->SetCents(pitch ? update.cents : std::numeric_limits<double>::quiet_NaN());
    level_->SetLevel(update.levelDbfs, update.clipped);
    const QString hint = QString::fromStdString(LevelHint::For(update));
    if (hint != shownHint_) {
        shownHint_ = hint;
        hint_->setText(hint);
    }
}

void PitchWindow::ShowRange() {
    range_label_->setText(range_.lowest() < 0
                              ? QStringLiteral("Umfang: noch kein Ton gehalten")
                              : QStringLiteral("Umfang: %1 bis %2")
                                    .arg(Name(range_.lowest()), Name(range_.highest())));
}

void PitchWindow::PlayReference(std::int32_t note) {
    if (exercise_->measuring()) {
        return; // the measuring sound plays
    }
    player_.Play(note);
}

void PitchWindow::keyPressEvent(QKeyEvent* event) {
    const int pc = PitchClassOfKey(event->key());
    // During an exercise its sound plays: a key must not cut it short.
    if (pc < 0 || (event->modifiers() & ~Qt::ShiftModifier) || exercise_->showing() ||
        exercise_->measuring()) {
        QWidget::keyPressEvent(event);
        return;
    }
    PlayReference(KeyOctave() * 12 + pc + ((event->modifiers() & Qt::ShiftModifier) ? 1 : 0));
}

// The keys play in the octave in the middle of the grid, which follows the voice.
std::int32_t PitchWindow::KeyOctave() const {
    return (trace_->bottomNote() + PitchTrace::kRows / 2) / 12;
}

void PitchWindow::ShowKeyOctave() {
    const std::int32_t octave = KeyOctave();
    if (octave != shownKeyOctave_) {
        shownKeyOctave_ = octave;
        help_->setText(QStringLiteral("Klick auf eine Zeile oder Taste C, D, E, F, G, A, H (mit "
                                      "Umschalt: einen Halbton höher) spielt den Ton zum "
                                      "Vergleich, mit den Tasten in der Oktave %1 (C-%1 bis H-%1).")
                           .arg(octave));
    }
}

} // namespace tessmar
