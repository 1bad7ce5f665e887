// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/desktop/ScreenMetrics.h"

namespace tessmar {

// The primary screen as Qt sees it. Sizes are logical pixels, which are the device's
// pixels unless Qt scales for a high-density screen.
class QtScreenMetrics : public ScreenMetrics {
public:
    int ScreenWidth() const override;
    int ScreenHeight() const override;
    int PixelsPerInch() const override;
    ScreenRect WorkArea() const override;
    // False on Qt's Wayland platforms ("wayland", "wayland-egl" ...).
    bool WindowsPlaceable() const override;
};

} // namespace tessmar
