// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace tessmar {

// The input level, -60 to 0 dBFS, as a bar: green, yellow from -12 dBFS, red when clipped.
// Repaints only the part of the bar that changed.
class LevelMeter : public QWidget {
    Q_OBJECT
public:
    static constexpr double kFloorDbfs = -60.0;

    explicit LevelMeter(QWidget* parent = nullptr);
    void SetLevel(double dbfs, bool clipped);
    QSize sizeHint() const override { return {240, 16}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int BarWidth(double dbfs) const;

    int shownWidth_ = 0;
    bool clipped_ = false;
};

} // namespace tessmar
