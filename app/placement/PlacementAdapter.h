// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/placement/WindowPlacement.h"
#include "platform/desktop/ScreenMetrics.h"

class QWidget;

namespace tessmar {

// Maps the stored placement record onto a Qt top-level window and back.
//  - normalPosition: the frame's rectangle in screen coordinates while the window is in
//    its normal state (Qt's normal geometry plus the frame the window manager adds).
//    Applying it moves the frame's top-left corner there; the fixed size is kept.
//  - showCmd: normal 1, minimised 2, maximised 3, from the window state.
//  - flags: "restore to maximised" when a maximised window is minimised; nothing else of
//    the record has a Qt counterpart.
//  - minPosition/maxPosition: Qt has no icon or maximised positions to set, so they are
//    written as -1 (none set) and not applied.
class PlacementAdapter {
public:
    static WindowPlacement Read(const QWidget& window);
    // Like the platform's placement call, keeps the window within reach: a position that
    // would put it (partly) off the work area, say one stored on a bigger screen, is moved
    // back inside.
    static void Apply(QWidget& window, const WindowPlacement& placement,
                      const ScreenRect& workArea);
    // Puts the window's frame in the middle of the work area.
    static void Centre(QWidget& window, const ScreenRect& workArea);
};

} // namespace tessmar
