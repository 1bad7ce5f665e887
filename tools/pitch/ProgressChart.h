// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "practice/history/Progress.h"

#include <QWidget>

class QPainter;

namespace tessmar {

// The progress as two plots: above, each exercise's or song's mean total per day (0 to
// 100) as a line of its own colour with its name; below, the range held in tune per week
// as a bar from its lowest to its highest note.
class ProgressChart : public QWidget {
    Q_OBJECT
public:
    explicit ProgressChart(QWidget* parent = nullptr);
    void Show(Progress progress);
    QSize sizeHint() const override { return {720, 460}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PaintScores(QPainter& painter, const QRect& area) const;
    void PaintRange(QPainter& painter, const QRect& area) const;

    Progress progress_;
};

} // namespace tessmar
