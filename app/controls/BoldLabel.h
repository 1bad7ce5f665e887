// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

namespace tessmar {

// A label in the bold variant of its font. A bitmap font without a bold face (like the
// window font from fonts-wine) is overstruck instead, drawn twice one pixel apart, which
// is how bitmap fonts have always been made bold on the desktop; Qt would show it plain.
class TBoldLabel : public QLabel {
public:
    TBoldLabel(const QString& text, QWidget* parent);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool Overstruck() const;
};

} // namespace tessmar
