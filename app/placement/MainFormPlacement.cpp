// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/placement/MainFormPlacement.h"

#include "app/AppError.h"
#include "app/placement/PlacementAdapter.h"
#include "platform/desktop/ScreenMetrics.h"

#include <QMetaObject>
#include <QWidget>

namespace tessmar {

MainFormPlacement::MainFormPlacement(ProfileStore& profile, ScreenMetrics& screen)
    : storage_(profile), screen_(screen) {}

FormStorage::Screen MainFormPlacement::CurrentScreen() const {
    return {screen_.ScreenWidth(), screen_.ScreenHeight(), screen_.PixelsPerInch(),
            screen_.WindowsPlaceable()};
}

void MainFormPlacement::Restore(QWidget& window) {
    if (restored_) {
        return;
    }
    restored_ = true;
    const auto restored = storage_.Restore(PlacementAdapter::Read(window), CurrentScreen());
    if (restored && restored->placement) {
        PlacementAdapter::Apply(window, *restored->placement, screen_.WorkArea());
    } else if (screen_.WindowsPlaceable()) {
        PlacementAdapter::Centre(window, screen_.WorkArea());
    } // else the compositor places the window
    if (!restored) {
        return;
    }
    switch (restored->state) {
    case WindowShowState::Minimized: {
        // The window opens normal and is minimised right after it has been shown.
        Qt::WindowStates state = Qt::WindowMinimized;
        if (restored->placement &&
            restored->placement->flags & WindowPlacement::kRestoreToMaximized) {
            state |= Qt::WindowMaximized;
        }
        QMetaObject::invokeMethod(
            &window, [&window, state] { window.setWindowState(state); }, Qt::QueuedConnection);
        break;
    }
    case WindowShowState::Maximized:
        window.setWindowState(Qt::WindowMaximized);
        break;
    case WindowShowState::Normal:
        window.setWindowState(Qt::WindowNoState);
        break;
    }
}

void MainFormPlacement::Save(const QWidget& window, bool destroying) {
    if (!storage_.Save(PlacementAdapter::Read(window), window.isMinimized(), CurrentScreen(),
                       destroying)) {
        throw AppError("nach " + storage_.FileName() + " kann nicht geschrieben werden");
    }
    saved_ = true;
}

void MainFormPlacement::SaveAtClose(const QWidget& window) {
    if (!restored_) {
        return; // nothing is saved before a restore
    }
    try {
        Save(window, false);
    } catch (...) {
        failureReported_ = true;
        throw;
    }
}

std::string MainFormPlacement::SaveAtDestruction(const QWidget& window) noexcept {
    if (!restored_ || saved_) {
        return {};
    }
    try {
        Save(window, true);
    } catch (const std::exception& e) {
        return failureReported_ ? std::string() : std::string(e.what());
    } catch (...) {
    }
    return {};
}

} // namespace tessmar
