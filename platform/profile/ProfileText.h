// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessmar {

// The profile-file rules of our INI files, on the file's text: sections "[Name]",
// entries "Key=Value", comments ";...". Section and key names match without regard to
// case and surrounding blanks; the first matching entry counts.
class ProfileText {
public:
    // The value of a key, trimmed and without one pair of enclosing quotes; nullopt when
    // the section or key is missing.
    static std::optional<std::string> Read(std::string_view text, std::string_view section,
                                           std::string_view key);

    // The text with the key set to value. An existing entry is rewritten in place, a new
    // one goes after the section's last entry, a missing section is appended; every other
    // line stays as it was. nullopt when the key or value can't be stored in a line.
    static std::optional<std::string> Write(std::string_view text, std::string_view section,
                                            std::string_view key, std::string_view value);
};

} // namespace tessmar
