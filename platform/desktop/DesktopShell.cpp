// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop/DesktopShell.h"

#include <QDesktopServices>
#include <QUrl>

namespace tessmar {

void DesktopShell::Open(const std::string& address) {
    QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
}

} // namespace tessmar
