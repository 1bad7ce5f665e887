// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/controls/Bevel.h"

#include <QPainter>

namespace tessmar {

TBevel::TBevel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TBevel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(0, 0, width() - 1, 0);
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(0, 1, width() - 1, 1);
}

} // namespace tessmar
