// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tessmar {

// The program's identity for the desktop and its answers to "--help" and "--version". Kept
// free of Qt so that both answers need no window system and work without a display.
class ProgramInfo {
public:
    // Reverse-DNS application ID, from the project's web address tessmar.example.org. It
    // names the desktop entry, the AppStream metainfo and the icon.
    static const char* ApplicationId();
    static const char* Version();

    // The exit status when the arguments (the program name left out) are exactly one of
    // "--help" and "--version", whose text then goes to out; nothing for any other
    // arguments: a single other argument opens the window, two or more record at once.
    static std::optional<int> Answer(const std::vector<std::string>& arguments, std::ostream& out);
};

} // namespace tessmar
