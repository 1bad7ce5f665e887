// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/placement/FormStorage.h"

#include <charconv>
#include <vector>

namespace tessmar {
namespace {

std::optional<int> ParseInteger(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) {
        return std::nullopt;
    }
    return value;
}

// Words of a stored list, split at commas and blanks.
std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : text + ',') {
        if (c == ',' || c == ' ' || c == '\t') {
            if (!word.empty()) {
                words.push_back(word);
            }
            word.clear();
        } else {
            word += c;
        }
    }
    return words;
}

int WordOr(const std::vector<std::string>& words, std::size_t index, int fallback) {
    return index < words.size() ? ParseInteger(words[index]).value_or(fallback) : fallback;
}

std::string Suffixed(const std::string& key, const FormStorage::Screen& screen) {
    return key + "(" + std::to_string(screen.width) + "x" + std::to_string(screen.height) + ")";
}

std::string Four(int a, int b, int c, int d) {
    return std::to_string(a) + "," + std::to_string(b) + "," + std::to_string(c) + "," +
           std::to_string(d);
}

WindowShowState StateOf(int showCmd) {
    switch (showCmd) {
    case 2:
    case 6:
    case 7:
        return WindowShowState::Minimized;
    case 3:
        return WindowShowState::Maximized;
    default:
        return WindowShowState::Normal;
    }
}

} // namespace

FormStorage::FormStorage(ProfileStore& profile, std::string section)
    : profile_(profile), section_(std::move(section)) {}

int FormStorage::ReadInteger(const std::string& key, int fallback) const {
    return ParseInteger(profile_.ReadString(section_, key, "")).value_or(fallback);
}

// The value for the current screen size wins over the last one of any size.
std::string FormStorage::ReadPair(const std::string& key, const Screen& screen) const {
    const std::string forScreen = profile_.ReadString(section_, Suffixed(key, screen), "");
    return forScreen.empty() ? profile_.ReadString(section_, key, "") : forScreen;
}

std::optional<FormStorage::Restored> FormStorage::Restore(const WindowPlacement& current,
                                                          const Screen& screen) const {
    if (ReadInteger("FormVersion", 0) < 0) {
        return std::nullopt;
    }
    WindowPlacement placement = current;
    placement.showCmd = WindowPlacement::kHide; // not visible yet
    placement.flags = ReadInteger("Flags", current.flags);

    const std::string minMax = ReadPair("MinMaxPos", screen);
    if (!minMax.empty()) {
        const auto w = Words(minMax);
        placement.minPosition = {WordOr(w, 0, 0), WordOr(w, 1, 0)};
        placement.maxPosition = {WordOr(w, 2, 0), WordOr(w, 3, 0)};
    }
    const std::string norm = ReadPair("NormPos", screen);
    const WindowPlacement::Rect now = current.normalPosition;
    if (!norm.empty()) {
        const auto w = Words(norm);
        placement.normalPosition = {WordOr(w, 0, now.left), WordOr(w, 1, now.top),
                                    WordOr(w, 2, now.right), WordOr(w, 3, now.bottom)};
    }

    Restored restored;
    if (screen.placeable && (!minMax.empty() || !norm.empty()) &&
        ReadInteger("PixelsPerInch", screen.pixelsPerInch) == screen.pixelsPerInch) {
        // The border is fixed: only the stored position counts, the size stays as designed.
        // A position so far out that the window's edges don't fit in an int is no position.
        auto& r = placement.normalPosition;
        if (!__builtin_add_overflow(r.left, now.right - now.left, &r.right) &&
            !__builtin_add_overflow(r.top, now.bottom - now.top, &r.bottom) && r.left < r.right) {
            restored.placement = placement;
        }
    }
    restored.state = StateOf(ReadInteger("ShowCmd", 0));
    return restored;
}

bool FormStorage::Save(const WindowPlacement& p, bool applicationMinimized, const Screen& screen,
                       bool destroying) {
    const std::string minMax =
        Four(p.minPosition.x, p.minPosition.y, p.maxPosition.x, p.maxPosition.y);
    const auto& r = p.normalPosition;
    const std::string norm = Four(r.left, r.top, r.right, r.bottom);
    const int showCmd = applicationMinimized ? WindowPlacement::kShowMinimized : p.showCmd;
    ProfileEntries entries{
        {"FormVersion", "0"},
        {"Flags", std::to_string(p.flags)},
        {"ShowCmd", std::to_string(showCmd)},
    };
    if (screen.placeable) {
        entries.insert(entries.end(), {
                                          {"PixelsPerInch", std::to_string(screen.pixelsPerInch)},
                                          {Suffixed("MinMaxPos", screen), minMax},
                                          {"MinMaxPos", minMax},
                                          {Suffixed("NormPos", screen), norm},
                                          {"NormPos", norm},
                                      });
    }
    entries.push_back({"Visible", destroying ? "1" : "0"});
    return profile_.WriteStrings(section_, entries);
}

} // namespace tessmar
