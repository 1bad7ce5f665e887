#pragma once

#include <QString>

class QWidget;

namespace tessmar {

// Modal message boxes.
class MessageBox {
public:
    virtual ~MessageBox() = default;
    // An error: error icon, one OK button; returns when the user has closed it.
    virtual void ShowError(QWidget* parent, const QString& caption, const QString& text) = 0;
};

} // namespace tessmar
