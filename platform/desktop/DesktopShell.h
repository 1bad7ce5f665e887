// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/desktop/Shell.h"

namespace tessmar {

class DesktopShell : public Shell {
public:
    void Open(const std::string& address) override;
};

} // namespace tessmar
