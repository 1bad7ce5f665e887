// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace tessmar {

// A bevel that draws only its top line: an etched line across its width.
class TBevel : public QWidget {
public:
    explicit TBevel(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tessmar
