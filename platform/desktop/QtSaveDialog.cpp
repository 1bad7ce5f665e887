// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/QtSaveDialog.h"

#include <QDir>
#include <QFileDialog>

namespace tessmar {

std::optional<std::string> QtSaveDialog::Run(QWidget* parent, const Request& request) {
    QString start = QString::fromStdString(request.folder);
    if (!request.preselected.empty()) {
        const QString name = QString::fromStdString(request.preselected);
        start = start.isEmpty() ? name : QDir(start).filePath(name);
    }
    // No default suffix is set, so nothing is appended to the chosen name.
    const QString chosen = QFileDialog::getSaveFileName(
        parent, QString::fromStdString(request.title), start,
        QString::fromStdString(request.filter), nullptr, QFileDialog::DontConfirmOverwrite);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen.toStdString();
}

} // namespace tessmar
