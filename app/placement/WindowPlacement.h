// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tessmar {

// The placement record the INI file stores, field for field: show command, flags, the
// minimised and maximised positions and the normal rectangle of the window's frame in
// screen coordinates (right and bottom exclusive).
struct WindowPlacement {
    // Show commands.
    static constexpr int kHide = 0;
    static constexpr int kShowNormal = 1;
    static constexpr int kShowMinimized = 2;
    static constexpr int kShowMaximized = 3;
    // Flag: a minimised window comes back maximised.
    static constexpr int kRestoreToMaximized = 2;

    struct Point {
        int x = -1; // -1, -1: no position set
        int y = -1;
    };
    struct Rect {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };

    int flags = 0;
    int showCmd = kShowNormal;
    Point minPosition;
    Point maxPosition;
    Rect normalPosition;
};

enum class WindowShowState { Normal, Minimized, Maximized };

} // namespace tessmar
