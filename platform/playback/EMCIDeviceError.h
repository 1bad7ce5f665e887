// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/playback/MciConstants.h"

#include <stdexcept>
#include <string>

namespace tessmar {

// A media player operation that failed, with the user's text for its error code.
class EMCIDeviceError : public std::runtime_error {
public:
    explicit EMCIDeviceError(mci::Error code) : std::runtime_error(TextFor(code)), code_(code) {}

    mci::Error code() const { return code_; }

    // The German text for an error code; "Unbekannter Fehlercode" for a code without one.
    static std::string TextFor(mci::Error code);

private:
    mci::Error code_;
};

} // namespace tessmar
