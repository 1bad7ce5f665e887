// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/placement/FormStorage.h"

#include <string>

class QWidget;

namespace tessmar {

class ScreenMetrics;

// The main window's placement storage (FormStorage1): restores the stored placement once
// before the window is first shown and saves it when the window closes or goes away.
class MainFormPlacement {
public:
    MainFormPlacement(ProfileStore& profile, ScreenMetrics& screen);

    // Once, before the window is first shown: stored position or centred, and the stored
    // state (a minimised state takes effect right after the window is shown).
    void Restore(QWidget& window);
    bool Restored() const { return restored_; }

    // At an accepted close request. Throws AppError when the file can't be written.
    void SaveAtClose(const QWidget& window);
    // When the window goes away unsaved. The error message when the file can't be
    // written, or empty: a failure already reported at the close is not repeated.
    std::string SaveAtDestruction(const QWidget& window) noexcept;

private:
    void Save(const QWidget& window, bool destroying);
    FormStorage::Screen CurrentScreen() const;

    FormStorage storage_;
    ScreenMetrics& screen_;
    bool restored_ = false;
    bool saved_ = false;
    bool failureReported_ = false;
};

} // namespace tessmar
