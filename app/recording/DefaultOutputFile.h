// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>

namespace tessmar {

// The output file proposed at program start: "out.wav" beside the program file. A program
// installed in a folder the user can't write to would fail to save every recording there,
// so the proposal then goes to the user's home folder instead.
class DefaultOutputFile {
public:
    using Writable = std::function<bool(const std::string& folder)>;

    static std::string For(const std::string& programFile, const std::string& homeFolder,
                           const Writable& writable);
    static bool IsWritableFolder(const std::string& folder);
};

} // namespace tessmar
