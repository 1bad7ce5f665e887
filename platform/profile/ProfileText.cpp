// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/profile/ProfileText.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace tessmar {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool SameName(std::string_view a, std::string_view b) {
    a = Trim(a);
    b = Trim(b);
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// One line of the file without its line break.
struct Line {
    std::string_view text;
    std::size_t begin; // offset of the line in the file
    std::size_t end;   // offset just past its line break
};

std::vector<Line> SplitLines(std::string_view text) {
    std::vector<Line> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t nl = text.find('\n', at);
        const std::size_t stop = nl == std::string_view::npos ? text.size() : nl;
        const std::size_t next = nl == std::string_view::npos ? text.size() : nl + 1;
        std::string_view line = text.substr(at, stop - at);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back({line, at, next});
        at = next;
    }
    return lines;
}

// The section name of a "[Name]" line.
std::optional<std::string_view> SectionOf(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return line.substr(1, close - 1);
}

// The key of a "Key=Value" line, nullopt for comments and other lines.
std::optional<std::string_view> KeyOf(std::string_view line) {
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty() || trimmed.front() == ';') {
        return std::nullopt;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    return line.substr(0, eq);
}

struct Location {
    bool sectionFound = false;
    std::size_t keyLine = std::string_view::npos;
    std::size_t lastEntryLine = 0; // the section header or its last non-blank line
};

Location Find(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Location where;
    bool inSection = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (const auto name = SectionOf(lines[i].text)) {
            if (where.sectionFound) {
                break; // a later section of the same name does not count
            }
            inSection = SameName(*name, section);
            if (inSection) {
                where.sectionFound = true;
                where.lastEntryLine = i;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (!Trim(lines[i].text).empty()) {
            where.lastEntryLine = i;
        }
        if (const auto k = KeyOf(lines[i].text); k && SameName(*k, key)) {
            where.keyLine = i;
            break;
        }
    }
    return where;
}

bool Storable(std::string_view s) {
    return s.find('\n') == std::string_view::npos && s.find('\r') == std::string_view::npos;
}

} // namespace

std::optional<std::string> ProfileText::Read(std::string_view text, std::string_view section,
                                             std::string_view key) {
    const std::vector<Line> lines = SplitLines(text);
    const Location where = Find(lines, section, key);
    if (where.keyLine == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view line = lines[where.keyLine].text;
    std::string_view value = Trim(line.substr(line.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

std::optional<std::string> ProfileText::Write(std::string_view text, std::string_view section,
                                              std::string_view key, std::string_view value) {
    const std::string_view name = Trim(key);
    if (name.empty() || name.front() == '[' || name.front() == ';' ||
        name.find('=') != std::string_view::npos || !Storable(name) || !Storable(value) ||
        Trim(section).empty() || section.find(']') != std::string_view::npos ||
        !Storable(section)) {
        return std::nullopt;
    }
    // New lines follow the file's own line breaks.
    const std::string_view eol = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    const std::string entry = std::string(name) + "=" + std::string(value);
    const std::vector<Line> lines = SplitLines(text);
    const Location where = Find(lines, section, key);

    std::string result;
    if (where.keyLine != std::string_view::npos) {
        const Line& line = lines[where.keyLine];
        result.append(text.substr(0, line.begin)).append(entry);
        result.append(text.substr(line.begin + line.text.size()));
        return result;
    }
    if (where.sectionFound) {
        const Line& after = lines[where.lastEntryLine];
        result.append(text.substr(0, after.end));
        if (after.end == text.size() && (text.empty() || text.back() != '\n')) {
            result.append(eol);
        }
        result.append(entry).append(eol).append(text.substr(after.end));
        return result;
    }
    result.append(text);
    if (!result.empty()) {
        if (result.back() != '\n') {
            result.append(eol);
        }
        result.append(eol); // a blank line between sections
    }
    result.append("[").append(Trim(section)).append("]").append(eol);
    result.append(entry).append(eol);
    return result;
}

} // namespace tessmar
