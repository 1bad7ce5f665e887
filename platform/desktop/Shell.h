// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace tessmar {

// The desktop's "open" for a web address: the user's default browser shows it.
class Shell {
public:
    virtual ~Shell() = default;
    // Fire and forget; a failure is not reported.
    virtual void Open(const std::string& address) = 0;
};

} // namespace tessmar
