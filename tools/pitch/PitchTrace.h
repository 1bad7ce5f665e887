// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/threads/LatencyLog.h"
#include "practice/PitchFormat.h"

#include <QPixmap>
#include <QWidget>
#include <cstdint>
#include <deque>
#include <vector>

namespace tessmar {

// The sung pitch of the last seconds over a grid of semitones, newest at the right, in the
// note chart's colours. Each batch of updates scrolls the plot once and paints only the
// strip that comes in; the grid moves (a full repaint) only when the voice leaves it. A
// click on a row asks for that note's reference tone.
class PitchTrace : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRows = 25;   // two octaves and the note above
    static constexpr int kGutter = 44; // note names
    static constexpr double kSeconds = 10.0;
    static constexpr int kUpdatesPerSecond = kPitchRate / int(kPitchHopFrames);

    explicit PitchTrace(LatencyLog& latency, QWidget* parent = nullptr);

    struct Point {
        double note; // nearest note plus cents/100; NaN without pitch
        LatencyLog::Stamps stamps;
    };
    // The updates the window took at once, oldest first: painted in one pass.
    void Add(const std::vector<Point>& points);
    // The lowest row's NoteIndex.
    std::int32_t bottomNote() const { return bottom_; }
    QSize sizeHint() const override { return {kGutter + 520, 380}; }

signals:
    void NoteClicked(std::int32_t note);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QRect Plot() const { return {kGutter, 0, width() - kGutter, height()}; }
    double RowHeight() const { return double(height()) / kRows; }
    double Y(double note) const;
    std::int32_t NoteAt(int y) const;
    void PaintGrid(QPainter& painter);
    void PaintTrace(QPainter& painter, const QRect& area);

    LatencyLog& latency_;
    std::deque<double> points_;                 // oldest first
    std::int32_t bottom_ = 36;                  // C-3 .. C-5 until the voice says otherwise
    int step_ = 2;                              // pixels per update
    std::vector<LatencyLog::Stamps> unpainted_; // of the points not yet painted
    QPixmap grid_; // the rows and their names, drawn once per size and range
    std::int32_t gridBottom_ = -1;
};

} // namespace tessmar
