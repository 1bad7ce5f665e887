// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/pitch/CentsMeter.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

namespace tessmar {

CentsMeter::CentsMeter(QWidget* parent)
    : QWidget(parent), cents_(std::numeric_limits<double>::quiet_NaN()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumHeight(40);
    setAccessibleName(QStringLiteral("Abweichung in Cent"));
}

int CentsMeter::NeedleX(double cents) const {
    const double margin = 16.0;
    // The name stays a little past the half-way point: the needle rests at the scale's end.
    cents = std::clamp(cents, -50.0, 50.0);
    return int(std::lround(margin + (cents + 50.0) / 100.0 * (width() - 2 * margin)));
}

void CentsMeter::SetCents(double cents) {
    cents_ = cents;
    const int x = std::isnan(cents) ? -1 : NeedleX(cents);
    if (x == shownX_) {
        return;
    }
    // Only the old and the new needle's columns, as one rectangle: a paint clipped to two
    // would copy the scale span by span, which Qt hands to its thread pool for a widget
    // this tall, waking two threads and the window's thread for each update.
    QRect dirty;
    for (const int column : {shownX_, x}) {
        if (column >= 0) {
            dirty |= QRect(column - 3, 0, 7, height());
        }
    }
    update(dirty);
    shownX_ = x;
}

void CentsMeter::PaintScale(QPainter& painter) const {
    const int h = height();
    painter.fillRect(rect(), palette().window());
    const int left = NeedleX(-50), right = NeedleX(50);
    painter.fillRect(QRect(left, 8, right - left, h - 22), QColor(0xe8e8e8));
    const int zoneLeft = NeedleX(-kInTuneCents), zoneRight = NeedleX(kInTuneCents);
    painter.fillRect(QRect(zoneLeft, 8, zoneRight - zoneLeft, h - 22), QColor(0x9ad29a));
    painter.setPen(QColor(0x707070));
    for (int c = -50; c <= 50; c += 10) {
        const int x = NeedleX(c);
        painter.drawLine(x, h - 14, x, h - 10);
    }
    painter.drawText(QRect(left - 16, h - 12, 32, 12), Qt::AlignCenter, QStringLiteral("−50"));
    painter.drawText(QRect(NeedleX(0) - 16, h - 12, 32, 12), Qt::AlignCenter, QStringLiteral("0"));
    painter.drawText(QRect(right - 16, h - 12, 32, 12), Qt::AlignCenter, QStringLiteral("+50"));
}

void CentsMeter::paintEvent(QPaintEvent* event) {
    // The scale is text and lines that never change: drawn once, copied afterwards.
    if (scale_.size() != size() * devicePixelRatio()) {
        scale_ = QPixmap(size() * devicePixelRatio());
        scale_.setDevicePixelRatio(devicePixelRatio());
        QPainter scale(&scale_);
        PaintScale(scale);
    }
    QPainter painter(this);
    const QRect area = event->rect();
    painter.drawPixmap(
        area, scale_,
        QRectF(area.topLeft() * devicePixelRatio(), area.size() * devicePixelRatio()));
    if (shownX_ >= 0) {
        const bool inTune = std::abs(cents_) <= kInTuneCents;
        painter.fillRect(QRect(shownX_ - 2, 2, 5, height() - 14),
                         inTune ? QColor(0x1f7a1f) : QColor(0xc0392b));
    }
}

} // namespace tessmar
