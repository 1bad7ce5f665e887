// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <charconv>
#include <string>

namespace tessmar {

// value with a point and `decimals` places, whatever the locale: what our files hold must
// read the same under de_DE, where printf would write a decimal comma (Qt sets the
// locale from the environment). signed: a plus for zero and above, as "%+.1f" has it.
inline std::string DecimalText(double value, int decimals, bool withSign = false) {
    char text[64];
    char* begin = text + 1;
    const auto [end, error] =
        std::to_chars(begin, text + sizeof text, value, std::chars_format::fixed, decimals);
    if (error != std::errc()) {
        return {};
    }
    if (withSign && *begin != '-') {
        *--begin = '+';
    }
    return std::string(begin, end);
}

} // namespace tessmar
