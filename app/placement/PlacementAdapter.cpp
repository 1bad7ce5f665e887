// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/placement/PlacementAdapter.h"

#include <QWidget>
#include <algorithm>

namespace tessmar {
namespace {

// Frame margins are known only once the window manager framed the window.
QMargins FrameMargins(const QWidget& w) {
    const QRect frame = w.frameGeometry();
    const QRect client = w.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

} // namespace

WindowPlacement PlacementAdapter::Read(const QWidget& window) {
    WindowPlacement p;
    const bool minimized = window.isMinimized();
    if (minimized) {
        p.showCmd = WindowPlacement::kShowMinimized;
    } else if (window.isMaximized()) {
        p.showCmd = WindowPlacement::kShowMaximized;
    }
    if (minimized && window.windowState().testFlag(Qt::WindowMaximized)) {
        p.flags = WindowPlacement::kRestoreToMaximized;
    }
    const bool normal = !window.isMinimized() && !window.isMaximized();
    const QRect client = normal ? window.geometry() : window.normalGeometry();
    const QRect frame = client.marginsAdded(FrameMargins(window));
    p.normalPosition = {frame.left(), frame.top(), frame.left() + frame.width(),
                        frame.top() + frame.height()};
    return p;
}

void PlacementAdapter::Apply(QWidget& window, const WindowPlacement& placement,
                             const ScreenRect& area) {
    const QSize size = window.frameGeometry().size();
    const int left = std::max(
        area.left, std::min(placement.normalPosition.left, area.left + area.width - size.width()));
    const int top = std::max(
        area.top, std::min(placement.normalPosition.top, area.top + area.height - size.height()));
    // QWidget::move() places the frame's top-left corner of a top-level window.
    window.move(left, top);
}

void PlacementAdapter::Centre(QWidget& window, const ScreenRect& area) {
    const QSize size = window.frameGeometry().size();
    const int left = area.left + std::max(0, (area.width - size.width()) / 2);
    const int top = area.top + std::max(0, (area.height - size.height()) / 2);
    window.move(left, top);
}

} // namespace tessmar
