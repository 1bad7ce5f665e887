// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/QtSaveDialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>

namespace tessmar {

std::optional<std::string> QtSaveDialog::Run(QWidget* parent, const Request& request) {
    QString start = QString::fromStdString(request.folder);
    if (!request.preselected.empty()) {
        const QString name = QString::fromStdString(request.preselected);
        start = start.isEmpty() ? name : QDir(start).filePath(name);
    }
    for (;;) {
        // No default suffix is set, so nothing is appended to the chosen name.
        const QString chosen = QFileDialog::getSaveFileName(
            parent, QString::fromStdString(request.title), start,
            QString::fromStdString(request.filter), nullptr, QFileDialog::DontConfirmOverwrite);
        if (chosen.isEmpty()) {
            return std::nullopt;
        }
        // A name whose bytes aren't UTF-8 (an old Latin-1 one) reaches us with its bytes
        // replaced: writing to it would write to another name.
        if (!chosen.contains(QChar::ReplacementCharacter)) {
            return QFile::encodeName(chosen).toStdString();
        }
        QMessageBox box(QMessageBox::Warning, QGuiApplication::applicationDisplayName(),
                        QStringLiteral("Der Name „%1“ enthält Bytes, die kein UTF-8 sind; so kann "
                                       "der Dateidialog ihn nicht weitergeben. Bitte wählen Sie "
                                       "einen anderen Namen.")
                            .arg(chosen),
                        QMessageBox::Ok, parent);
        box.setTextFormat(Qt::PlainText);
        box.exec();
    }
}

} // namespace tessmar
