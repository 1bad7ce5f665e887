// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;

namespace tessmar {

class ProgressChart;

// "Verlauf": the takes kept, as the scores over days, the range over weeks, and the notes
// most often off. Read afresh each time it is shown.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* parent = nullptr);
    void Refresh();

private:
    ProgressChart* chart_ = nullptr;
    QLabel* notes_ = nullptr;
};

} // namespace tessmar
