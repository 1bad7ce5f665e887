// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/controls/BoldLabel.h"

#include <QFontDatabase>
#include <QPainter>
#include <QStyle>

namespace tessmar {

TBoldLabel::TBoldLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
}

bool TBoldLabel::Overstruck() const {
    return !QFontDatabase::isSmoothlyScalable(QFontInfo(font()).family());
}

QSize TBoldLabel::sizeHint() const {
    const QSize size = QLabel::sizeHint();
    return Overstruck() ? size + QSize(1, 0) : size;
}

void TBoldLabel::paintEvent(QPaintEvent* event) {
    if (!Overstruck()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter p(this);
    const QRect area = contentsRect();
    for (int dx : {0, 1}) {
        style()->drawItemText(&p, area.translated(dx, 0), int(alignment()), palette(), isEnabled(),
                              text(), foregroundRole());
    }
}

} // namespace tessmar
