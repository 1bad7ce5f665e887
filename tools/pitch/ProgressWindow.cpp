// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/pitch/ProgressWindow.h"

#include "analysis/NoteNaming.h"
#include "practice/history/Progress.h"
#include "tools/pitch/ProgressChart.h"

#include <QBoxLayout>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QLabel>

namespace tessmar {

ProgressWindow::ProgressWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Verlauf"));
    chart_ = new ProgressChart(this);
    notes_ = new QLabel(this);
    notes_->setWordWrap(true);
    notes_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chart_, 1);
    layout->addWidget(notes_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void ProgressWindow::Refresh() {
    std::string error;
    const auto history = TakeHistory::Open(TakeHistory::DefaultPath(), error);
    std::vector<TakeHistory::Row> takes;
    std::vector<TakeHistory::Tally> often;
    if (history) {
        takes = history->Takes(error);
        often = history->OftenOff(6, error);
    }
    if (!error.empty()) {
        chart_->Show({});
        notes_->setText(QStringLiteral("Der Verlauf lässt sich nicht lesen: %1.")
                            .arg(QString::fromStdString(error)));
        return;
    }
    chart_->Show(Progress::From(takes, QDateTime::currentDateTime().offsetFromUtc()));
    QStringList off;
    for (const TakeHistory::Tally& t : often) {
        off << QStringLiteral("%1 (%2 von %3 Mal)")
                   .arg(QString::fromStdString(NoteName(t.note)))
                   .arg(t.off)
                   .arg(t.sung);
    }
    notes_->setText(off.isEmpty()
                        ? QStringLiteral("%1 bewertete Übungen und Lieder.").arg(takes.size())
                        : QStringLiteral("%1 bewertete Übungen und Lieder. Am "
                                         "häufigsten daneben: %2.")
                              .arg(takes.size())
                              .arg(off.join(QStringLiteral(", "))));
}

} // namespace tessmar
