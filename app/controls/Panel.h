// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QWidget>

namespace tessmar {

// A coloured panel with a lowered outer and a raised inner bevel, one pixel each.
class TPanel : public QWidget {
public:
    TPanel(QColor color, QWidget* parent);
    QColor Color() const { return color_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor color_;
};

} // namespace tessmar
