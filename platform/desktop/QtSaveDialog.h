#pragma once

#include "platform/desktop/SaveDialog.h"

namespace tessmar {

class QtSaveDialog : public SaveDialog {
public:
    std::optional<std::string> Run(QWidget* parent, const Request& request) override;
};

} // namespace tessmar
