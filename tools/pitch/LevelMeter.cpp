// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/pitch/LevelMeter.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace tessmar {

LevelMeter::LevelMeter(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumHeight(12);
    setAccessibleName(QStringLiteral("Eingangspegel"));
}

int LevelMeter::BarWidth(double dbfs) const {
    const double f = std::clamp((dbfs - kFloorDbfs) / -kFloorDbfs, 0.0, 1.0);
    return int(std::lround(f * (width() - 2)));
}

void LevelMeter::SetLevel(double dbfs, bool clipped) {
    const int w = BarWidth(dbfs);
    if (clipped != clipped_) {
        clipped_ = clipped;
        shownWidth_ = w;
        update();
        return;
    }
    if (w != shownWidth_) {
        const int from = std::min(w, shownWidth_), to = std::max(w, shownWidth_);
        shownWidth_ = w;
        update(1 + from, 0, to - from + 1, height());
    }
}

void LevelMeter::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setClipRect(event->rect());
    painter.fillRect(rect(), QColor(0x303030));
    const int yellowAt = BarWidth(-12.0);
    const QRect bar(1, 1, shownWidth_, height() - 2);
    if (clipped_) {
        painter.fillRect(bar, QColor(0xd03020));
        return;
    }
    painter.fillRect(bar.intersected(QRect(1, 1, yellowAt, height() - 2)), QColor(0x3cb043));
    painter.fillRect(bar.intersected(QRect(1 + yellowAt, 1, width(), height() - 2)),
                     QColor(0xe0c020));
}

} // namespace tessmar
