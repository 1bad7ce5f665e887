// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <cstdint>

class QLabel;
class QListWidget;
class QTableWidget;

namespace tessmar {

class ProgressChart;

// "Verlauf": the takes kept, as the scores over days, the range over weeks, and the notes
// most often off; below, the takes one by one, each note of the one chosen in a table, and
// "Ansehen" to look at it again in the window. Read afresh each time it is shown.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ProgressWindow(QWidget* parent = nullptr);
    void Refresh();

signals:
    void LookBack(std::int64_t take);

private:
    void ShowNotes();

    ProgressChart* chart_ = nullptr;
    QLabel* notes_ = nullptr;
    QListWidget* takes_ = nullptr;
    QTableWidget* table_ = nullptr;
};

} // namespace tessmar
