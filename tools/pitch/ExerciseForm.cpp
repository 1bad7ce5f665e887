// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/pitch/ExerciseForm.h"

#include "analysis/NoteNaming.h"
#include "tools/pitch/FormRows.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>

namespace tessmar {
namespace {

constexpr std::int32_t kLowestKey = 12, kHighestKey = 72; // C-1 .. C-6
constexpr int kTolerances[] = {50, 25, 10};

QString Name(std::int32_t note) {
    return QString::fromStdString(NoteName(note));
}

} // namespace

using form::Add;
using form::Choices;
using form::Number;

ExerciseForm::ExerciseForm(QWidget* parent) : QWidget(parent) {
    kind_ = Choices(this,
                    {"Ton treffen", "Ton halten", "Tonleiter", "Dreiklang", "Intervall (Quinte)"});
    voice_ = new QComboBox(this);
    voice_->addItem(QStringLiteral("–"));
    for (const auto& v : ExerciseSettings::kVoices) {
        voice_->addItem(QString::fromUtf8(v.name));
    }
    voice_->addItem(QStringLiteral("Eigener Umfang (noch keiner)"));
    voice_->setToolTip(QStringLiteral("Legt die Übung in den Stimmumfang: den einer Stimmlage "
                                      "oder den eigenen, mit „Umfang messen“ gemessen."));
    auto* range = new QPushButton(QStringLiteral("Umfa&ng messen"), this);
    range->setToolTip(QStringLiteral("Erst den tiefsten, dann den höchsten bequemen Ton je eine "
                                     "Sekunde halten"));
    key_ = new QComboBox(this);
    for (std::int32_t n = kLowestKey; n <= kHighestKey; ++n) {
        key_->addItem(Name(n));
    }
    rounds_ = Number(this, 1, 24, "");
    direction_ = Choices(this, {"aufwärts", "abwärts"});
    bpm_ = Number(this, 30, 240, " bpm");
    tolerance_ = Choices(this, {"±50 Cent", "±25 Cent", "±10 Cent"});
    reference_ = Choices(this, {"vorher", "mit", "aus"});
    delay_ = Number(this, 0, 1000, " ms");
    delay_->setToolTip(QStringLiteral("Von Lautsprecher zu Mikrofon; mit Kopfhörern meist 0"));
    auto* measure = new QPushButton(QStringLiteral("Verzögerung &messen"), this);
    measure->setToolTip(QStringLiteral("Spielt einen kurzen Messton und sucht ihn in der "
                                       "Aufnahme: für Lautsprecher nahe am Mikrofon"));

    auto* first = new QHBoxLayout;
    Add(first, this, "Ü&bung:", kind_);
    Add(first, this, "S&timme:", voice_);
    first->addWidget(range);
    Add(first, this, "&Grundton:", key_);
    Add(first, this, "R&unden:", rounds_);
    first->addWidget(direction_);
    first->addStretch(1);
    auto* second = new QHBoxLayout;
    Add(second, this, "T&empo:", bpm_);
    Add(second, this, "T&oleranz:", tolerance_);
    Add(second, this, "&Vergleichston:", reference_);
    Add(second, this, "Verzöge&rung:", delay_);
    second->addWidget(measure);
    second->addStretch(1);
    auto* settingsBox = new QVBoxLayout(this);
    settingsBox->setContentsMargins(0, 0, 0, 0);
    settingsBox->addLayout(first);
    settingsBox->addLayout(second);

    connect(range, &QPushButton::clicked, this, &ExerciseForm::MeasureRange);
    connect(measure, &QPushButton::clicked, this, &ExerciseForm::MeasureDelay);
    connect(voice_, &QComboBox::activated, this, &ExerciseForm::FitVoice);
    connect(kind_, &QComboBox::activated, this, &ExerciseForm::FitVoice);
    connect(direction_, &QComboBox::activated, this, &ExerciseForm::FitVoice);
}

void ExerciseForm::Choose(const ExerciseSettings& s) {
    kind_->setCurrentIndex(int(s.exercise.kind));
    key_->setCurrentIndex(std::clamp(s.exercise.start, kLowestKey, kHighestKey) - kLowestKey);
    rounds_->setValue(s.exercise.rounds);
    direction_->setCurrentIndex(s.exercise.step < 0 ? 1 : 0);
    bpm_->setValue(s.exercise.bpm);
    // Another tolerance (from the command line) is offered beside the usual three.
    const auto* usual = std::find(std::begin(kTolerances), std::end(kTolerances), s.toleranceCents);
    if (usual == std::end(kTolerances)) {
        otherTolerance_ = s.toleranceCents;
        const QString text = QStringLiteral("±%1 Cent").arg(s.toleranceCents);
        tolerance_->count() > 3 ? tolerance_->setItemText(3, text) : tolerance_->addItem(text);
    }
    tolerance_->setCurrentIndex(int(usual - std::begin(kTolerances)));
    reference_->setCurrentIndex(int(s.reference));
    delay_->setValue(s.delayMs);
    if (s.lowest >= 0) {
        SetOwnRange(s.lowest, s.highest);
    }
    const int voice = s.voice == ExerciseSettings::kOwnRange
                          ? OwnRangeIndex()
                          : voice_->findText(QString::fromStdString(s.voice));
    voice_->setCurrentIndex(std::max(0, voice));
    concertA_ = s.concertA;
}

ExerciseSettings ExerciseForm::Chosen() const {
    ExerciseSettings s;
    s.exercise.kind = Exercise::Kind(kind_->currentIndex());
    s.exercise.start = kLowestKey + key_->currentIndex();
    s.exercise.rounds = rounds_->value();
    s.exercise.step = direction_->currentIndex() == 1 ? -1 : 1;
    s.exercise.bpm = bpm_->value();
    const int tolerance = tolerance_->currentIndex();
    s.toleranceCents = tolerance < 3 ? kTolerances[tolerance] : otherTolerance_;
    s.reference = ExerciseSound::Reference(reference_->currentIndex());
    s.delayMs = delay_->value();
    const int voice = voice_->currentIndex();
    s.voice = voice == OwnRangeIndex() ? ExerciseSettings::kOwnRange
              : voice > 0              ? voice_->currentText().toStdString()
                                       : std::string();
    s.lowest = lowest_;
    s.highest = highest_;
    s.concertA = concertA_;
    return s;
}

// A voice type places the exercise in its range: the key note from its bottom (or top,
// going down), and no more rounds than fit.
void ExerciseForm::FitVoice() {
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

int ExerciseForm::OwnRangeIndex() const {
    return voice_->count() - 1;
}

void ExerciseForm::SetOwnRange(std::int32_t lowest, std::int32_t highest) {
    lowest_ = lowest;
    highest_ = highest;
    voice_->setItemText(
        OwnRangeIndex(),
        QStringLiteral("Eigener Umfang (%1 bis %2)").arg(Name(lowest), Name(highest)));
}

void ExerciseForm::SetDelay(int ms) {
    delay_->setValue(ms);
}

void ExerciseForm::ChooseOwnRange(std::int32_t lowest, std::int32_t highest) {
    SetOwnRange(lowest, highest);
    voice_->setCurrentIndex(OwnRangeIndex());
    FitVoice();
}

} // namespace tessmar
