// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/pitch/ProgressWindow.h"

#include "analysis/NoteNaming.h"
#include "platform/system/SystemErrorText.h"
#include "practice/history/Progress.h"
#include "tools/pitch/ProgressChart.h"

#include <QBoxLayout>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <cmath>
#include <filesystem>

namespace tessmar {

ProgressWindow::ProgressWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Verlauf"));
    chart_ = new ProgressChart(this);
    notes_ = new QLabel(this);
    notes_->setWordWrap(true);
    notes_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    takes_ = new QListWidget(this);
    takes_->setAccessibleName(QStringLiteral("Bewertete Übungen und Lieder"));
    table_ = new QTableWidget(0, 5, this);
    table_->setHorizontalHeaderLabels({QStringLiteral("Ton"), QStringLiteral("Ziel"),
                                       QStringLiteral("Cent"), QStringLiteral("in der Toleranz"),
                                       QStringLiteral("erreicht nach")});
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* look =
        buttons->addButton(QStringLiteral("&Ansehen"), QDialogButtonBox::ActionRole);
    auto* lists = new QHBoxLayout;
    lists->addWidget(takes_, 2);
    lists->addWidget(table_, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(chart_, 3);
    layout->addWidget(notes_);
    layout->addLayout(lists, 2);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(780, 760);
    connect(takes_, &QListWidget::currentRowChanged, this, &ProgressWindow::ShowNotes);
    const auto lookBack = [this] {
        if (const QListWidgetItem* item = takes_->currentItem()) {
            emit LookBack(item->data(Qt::UserRole).toLongLong());
        }
    };
    connect(look, &QPushButton::clicked, this, lookBack);
    connect(takes_, &QListWidget::itemDoubleClicked, this, lookBack);
}

void ProgressWindow::Refresh() {
    std::string error;
    // Looking makes no file: before the first take there is none. A folder closed to us
    // is not "none".
    std::error_code ec;
    const bool kept = std::filesystem::exists(TakeHistory::DefaultPath(), ec);
    error = ec ? SystemErrorText(ec.value()) : std::string();
    const auto history =
        kept ? TakeHistory::Open(TakeHistory::DefaultPath(), error, false) : nullptr;
    std::vector<TakeHistory::Row> takes;
    std::vector<TakeHistory::Tally> often;
    if (history) {
        takes = history->Takes(error);
        often = history->OftenOff(6, error);
    }
    takes_->clear();
    if (!error.empty()) {
        chart_->Show({});
        notes_->setText(QStringLiteral("Der Verlauf lässt sich nicht lesen: %1.")
                            .arg(QString::fromStdString(error)));
        return;
    }
    chart_->Show(Progress::From(takes));
    constexpr std::size_t kListed = 300; // the newest; the plots have the rest
    for (std::size_t i = takes.size(); i-- > 0 && takes.size() - i <= kListed;) {
        const TakeHistory::Row& r = takes[i];
        auto* item = new QListWidgetItem(
            QStringLiteral("%1  %2 (%3): %4")
                .arg(QDateTime::fromSecsSinceEpoch(r.take.at).toString(
                         QStringLiteral("d.M.yy H:mm")),
                     QString::fromStdString(Progress::Shown(r.take)),
                     QFileInfo(QString::fromStdString(r.take.detail)).fileName())
                .arg(r.take.total),
            takes_);
        item->setData(Qt::UserRole, qlonglong(r.id));
    }
    takes_->setCurrentRow(0);
    QStringList off;
    for (const TakeHistory::Tally& t : often) {
        off << QStringLiteral("%1 (%2 von %3 Mal)")
                   .arg(QString::fromStdString(NoteName(t.note)))
                   .arg(t.off)
                   .arg(t.sung);
    }
    const QString counted =
        takes.size() == 1 ? QStringLiteral("Eine bewertete Übung oder ein bewertetes Lied.")
                          : QStringLiteral("%1 bewertete Übungen und Lieder.").arg(takes.size());
    notes_->setText(off.isEmpty() ? counted
                                  : counted + QStringLiteral(" Am häufigsten daneben: %1.")
                                                  .arg(off.join(QStringLiteral(", "))));
}

void ProgressWindow::ShowNotes() {
    table_->setRowCount(0);
    const QListWidgetItem* item = takes_->currentItem();
    std::string error;
    const auto history =
        item ? TakeHistory::Open(TakeHistory::DefaultPath(), error, false) : nullptr;
    const auto take =
        history ? history->Load(item->data(Qt::UserRole).toLongLong(), error) : std::nullopt;
    if (!take) {
        return;
    }
    table_->setRowCount(int(take->notes.size()));
    for (std::size_t i = 0; i < take->notes.size(); ++i) {
        const NoteScore& n = take->notes[i];
        const QString cells[] = {
            QString::number(i + 1), QString::fromStdString(NoteName(n.target.note)),
            n.meanCents ? QString::asprintf("%+.0f", *n.meanCents) : QStringLiteral("–"),
            QStringLiteral("%1 %").arg(std::lround(n.inTunePct)),
            n.onsetMs ? QStringLiteral("%1 ms").arg(std::lround(*n.onsetMs)) : QStringLiteral("–")};
        for (int c = 0; c < 5; ++c) {
            table_->setItem(int(i), c, new QTableWidgetItem(cells[c]));
        }
    }
}

} // namespace tessmar
