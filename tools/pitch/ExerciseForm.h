// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/exercise/ExerciseSettings.h"

#include <QWidget>
#include <cstdint>

class QComboBox;
class QPushButton;
class QSpinBox;

namespace tessmar {

// The exercise's settings in two rows, with the buttons that measure the singer's range and
// the delay. A voice type, or the range measured, places the key note and the rounds.
class ExerciseForm : public QWidget {
    Q_OBJECT
public:
    explicit ExerciseForm(QWidget* parent = nullptr);

    void Choose(const ExerciseSettings& settings);
    ExerciseSettings Chosen() const;
    void SetDelay(int ms);
    // The range measured becomes the voice, and the exercise is placed in it.
    void ChooseOwnRange(std::int32_t lowest, std::int32_t highest);

signals:
    void MeasureRange();
    void MeasureDelay();

private:
    void FitVoice();
    int OwnRangeIndex() const;
    void SetOwnRange(std::int32_t lowest, std::int32_t highest);

    QComboBox* kind_ = nullptr;
    QComboBox* voice_ = nullptr;
    QComboBox* key_ = nullptr;
    QSpinBox* rounds_ = nullptr;
    QComboBox* direction_ = nullptr;
    QSpinBox* bpm_ = nullptr;
    QComboBox* tolerance_ = nullptr;
    QComboBox* reference_ = nullptr;
    QSpinBox* delay_ = nullptr;
    int concertA_ = 440;
    int otherTolerance_ = 50;                 // the fourth choice, where one was given
    std::int32_t lowest_ = -1, highest_ = -1; // the singer's own range, measured; -1: none
};

} // namespace tessmar
