// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/desktop/MessageBox.h"

namespace tessmar {

class QtMessageBox : public MessageBox {
public:
    void ShowError(QWidget* parent, const QString& caption, const QString& text) override;
    bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) override;
};

} // namespace tessmar
