// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/controls/Panel.h"

#include <QPainter>

namespace tessmar {
namespace {

void Frame(QPainter& p, QRect r, QColor topLeft, QColor bottomRight) {
    p.setPen(topLeft);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

} // namespace

TPanel::TPanel(QColor color, QWidget* parent) : QWidget(parent), color_(color) {}

void TPanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), color_);
    const QColor dark = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    Frame(p, rect(), dark, light);                        // outer: lowered
    Frame(p, rect().adjusted(1, 1, -1, -1), light, dark); // inner: raised
}

} // namespace tessmar
