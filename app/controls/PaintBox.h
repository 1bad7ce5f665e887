// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>

class QPainter;

namespace tessmar {

// A plain drawing surface: its owner paints it in OnPaint through Canvas().
class TPaintBox : public QWidget {
public:
    explicit TPaintBox(QWidget* parent);

    std::function<void()> OnPaint;
    // The painter of the paint event under way; null outside OnPaint.
    QPainter* Canvas() const { return canvas_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPainter* canvas_ = nullptr;
};

} // namespace tessmar
