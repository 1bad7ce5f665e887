// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/QtMessageBox.h"

#include <QMessageBox>
#include <QPushButton>

namespace tessmar {

void QtMessageBox::ShowError(QWidget* parent, const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Critical, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText); // file names are shown as typed, never as markup
    box.exec();
}

bool QtMessageBox::AskYesNo(QWidget* parent, const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    // The program's own words, whatever translation Qt has or lacks.
    QPushButton* yes = box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Nein"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

} // namespace tessmar
