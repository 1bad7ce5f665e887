// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/desktop/MessageBox.h"

#include <exception>
#include <string>

class QWidget;

namespace tessmar {

// Runs event handlers so that no exception reaches Qt: an error ends the handler and its
// message is shown in an error box captioned with the application title.
class HandlerGuard {
public:
    explicit HandlerGuard(MessageBox& messages) : messages_(messages) {}

    template <class Handler> void Run(QWidget* parent, Handler&& handler) noexcept {
        try {
            handler();
        } catch (const std::exception& e) {
            Report(parent, e.what());
        } catch (...) {
            Report(parent, "Unbekannter Fehler");
        }
    }

    void Report(QWidget* parent, const std::string& message) noexcept;
    // From now on nobody answers a box (the program is ending on a signal): messages go to
    // standard error instead.
    void SendToTerminal() { toTerminal_ = true; }

private:
    MessageBox& messages_;
    bool toTerminal_ = false;
};

} // namespace tessmar
