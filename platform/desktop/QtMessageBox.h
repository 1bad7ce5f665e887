// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/desktop/MessageBox.h"

namespace tessmar {

class QtMessageBox : public MessageBox {
public:
    void ShowError(QWidget* parent, const std::string& caption, const std::string& text) override;
    bool AskYesNo(QWidget* parent, const std::string& caption, const std::string& text) override;
};

} // namespace tessmar
