// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/desktop/SaveDialog.h"

namespace tessmar {

class QtSaveDialog : public SaveDialog {
public:
    std::optional<std::string> Run(QWidget* parent, const Request& request) override;
};

} // namespace tessmar
