// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

class QWidget;

namespace tessmar {

// Modal message boxes; captions and texts in UTF-8.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    // An error: error icon, one OK button; returns when the user has closed it.
    virtual void ShowError(QWidget* parent, const std::string& caption,
                           const std::string& text) = 0;
    // A question: question icon, the buttons "Ja" and "Nein" ("Nein" the default, and the
    // answer when the box is closed otherwise); true for "Ja".
    virtual bool AskYesNo(QWidget* parent, const std::string& caption, const std::string& text) = 0;
};

} // namespace tessmar
