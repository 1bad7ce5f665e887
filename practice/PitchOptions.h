// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tessmar {

// tessmar-pitch's command line: --log FILE, --help, --version. Qt-free, so that --help and
// --version answer without a display.
struct PitchOptions {
    std::string log;

    // The options, or the exit status when the program ends here (after --help or
    // --version on out, or a wrong call told on err).
    static std::optional<PitchOptions> Parse(const std::vector<std::string>& arguments,
                                             std::ostream& out, std::ostream& err, int& status);
};

} // namespace tessmar
