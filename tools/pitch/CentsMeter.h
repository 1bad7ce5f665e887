// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QWidget>

namespace tessmar {

// How far the sung note is off, -50 to +50 cents, as a needle over a scale with the
// in-tune zone (within 10 cents) in green. Repaints only when the needle moves a pixel.
class CentsMeter : public QWidget {
    Q_OBJECT
public:
    static constexpr double kInTuneCents = 10.0;

    explicit CentsMeter(QWidget* parent = nullptr);
    // No pitch: NaN.
    void SetCents(double cents);
    QSize sizeHint() const override { return {360, 44}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int NeedleX(double cents) const;
    void PaintScale(QPainter& painter) const;

    double cents_;
    int shownX_ = -1; // -1: no needle
    QPixmap scale_;   // everything but the needle, drawn once per size
};

} // namespace tessmar
