// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/placement/WindowPlacement.h"
#include "platform/profile/ProfileStore.h"

#include <optional>
#include <string>

namespace tessmar {

// Keeps the main window's placement in the INI file between runs (section "TMainForm").
// It works on placement records; mapping them onto the real window is the window's part.
class FormStorage {
public:
    struct Screen {
        int width = 0;
        int height = 0;
        int pixelsPerInch = 96;
        // False where windows can neither place themselves nor learn their position
        // (Wayland): a restore then places nothing and a save keeps the stored position.
        bool placeable = true;
    };

    struct Restored {
        // The placement to apply; nullopt: keep the window as it is and centre it.
        std::optional<WindowPlacement> placement;
        WindowShowState state = WindowShowState::Normal;
    };

    explicit FormStorage(ProfileStore& profile, std::string section = "TMainForm");

    // What the stored values make of the window's current placement; nullopt when the
    // stored format version says to leave the window alone.
    std::optional<Restored> Restore(const WindowPlacement& current, const Screen& screen) const;

    // Writes every key. destroying tells whether the window is going away (Visible=1) or
    // being closed (Visible=0). False when the file could not be written.
    // Where windows aren't placeable, the position keys and the pixels per inch that
    // vouch for them stay as they are: the window's position is unknown there, and
    // writing 0,0 would lose the one stored on a desktop where it is known.
    bool Save(const WindowPlacement& placement, bool applicationMinimized, const Screen& screen,
              bool destroying);

    std::string FileName() const { return profile_.FileName(); }

private:
    int ReadInteger(const std::string& key, int fallback) const;
    std::string ReadPair(const std::string& key, const Screen& screen) const;

    ProfileStore& profile_;
    std::string section_;
};

} // namespace tessmar
