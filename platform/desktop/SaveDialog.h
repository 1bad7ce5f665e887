// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

class QWidget;

namespace tessmar {

// The platform's save-file dialog. It never asks before an existing file is chosen and
// never adds an extension: the caller gets exactly the path the user picked.
class SaveDialog {
public:
    struct Request {
        std::string title;
        std::string filter;      // "Name (*.ext)"
        std::string folder;      // where to start; empty: the dialog's choice
        std::string preselected; // file name to propose; may be empty
    };

    virtual ~SaveDialog() = default;
    // The chosen full path, nullopt when the user cancelled.
    virtual std::optional<std::string> Run(QWidget* parent, const Request& request) = 0;
};

} // namespace tessmar
