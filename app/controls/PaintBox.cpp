// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/controls/PaintBox.h"

#include <QPainter>

namespace tessmar {

TPaintBox::TPaintBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPaintBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    canvas_ = &painter;
    if (OnPaint) {
        OnPaint(); // handlers catch their own errors
    }
    canvas_ = nullptr;
}

} // namespace tessmar
