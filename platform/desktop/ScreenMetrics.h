// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tessmar {

struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// What the window needs to know about the screen to place itself, in logical pixels.
class ScreenMetrics {
public:
    virtual ~ScreenMetrics() = default;
    // Size of the primary screen.
    virtual int ScreenWidth() const = 0;
    virtual int ScreenHeight() const = 0;
    // Logical pixels per inch, which also fix the size of the window's text.
    virtual int PixelsPerInch() const = 0;
    // The part of the primary screen windows may use (without panels), for centring.
    virtual ScreenRect WorkArea() const = 0;
    // False where the windowing system neither lets a window place itself nor tells it
    // where it is (Wayland): the window's position is then the compositor's alone.
    virtual bool WindowsPlaceable() const = 0;
};

} // namespace tessmar
