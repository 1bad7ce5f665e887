// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestCardLayouts.h"

namespace tessmar::test {
namespace {

constexpr auto kInt = SND_CTL_ELEM_TYPE_INTEGER;
constexpr auto kBool = SND_CTL_ELEM_TYPE_BOOLEAN;
constexpr auto kEnum = SND_CTL_ELEM_TYPE_ENUMERATED;

CardControl Volume(std::string name, unsigned channels, long maximum, long initial,
                   std::optional<DbScale> db = std::nullopt) {
    return {std::move(name), kInt, channels, 0, maximum, initial, {}, db};
}

// Hundredths of a dB.
constexpr DbScale kAc97Master{-4650, 150, true}; // -46.5 .. 0 dB
constexpr DbScale kAc97Mixer{-3450, 150, true};  // -34.5 .. +12 dB
constexpr DbScale kAc97Record{0, 150, false};    // 0 .. +22.5 dB
constexpr DbScale kHdaOutput{-6525, 75, true};   // -65.25 .. 0 dB
constexpr DbScale kHdaCapture{-1725, 75, false}; // -17.25 .. +30 dB
constexpr DbScale kHdaBoost{0, 1000, false};     // 0 .. +30 dB

CardControl Switch(std::string name, unsigned channels, bool on) {
    return {std::move(name), kBool, channels, 0, 1, on ? 1 : 0, {}, std::nullopt};
}

CardControl Enumeration(std::string name, std::vector<std::string> entries, long initial) {
    const long last = static_cast<long>(entries.size()) - 1;
    return {std::move(name), kEnum, 2, 0, last, initial, std::move(entries), std::nullopt};
}

} // namespace

std::vector<CardControl> CardLayout(const std::string& layout) {
    if (layout == "older") {
        return {
            Volume("Master Playback Volume", 2, 31, 5, kAc97Master),
            Switch("Master Playback Switch", 2, false),
            Volume("PCM Playback Volume", 2, 31, 20, kAc97Mixer),
            Switch("PCM Playback Switch", 2, true),
            Volume("Synth Playback Volume", 2, 31, 0, kAc97Mixer),
            Switch("Synth Playback Switch", 2, false),
            Volume("Mic Playback Volume", 1, 31, 0, kAc97Mixer),
            Switch("Mic Playback Switch", 1, false),
            Volume("Mic Capture Volume", 1, 15, 15, kAc97Record),
            Volume("Line Playback Volume", 2, 31, 8, kAc97Mixer),
            Switch("Line Playback Switch", 2, false),
            Volume("CD Playback Volume", 2, 31, 8, kAc97Mixer),
            Switch("CD Playback Switch", 2, false),
            Volume("Capture Volume", 2, 15, 0, kAc97Record),
            Switch("Capture Switch", 2, false),
            Enumeration("Capture Source", {"Mic", "CD", "Video", "Aux", "Line", "Mix", "Phone"}, 4),
        };
    }
    if (layout == "newer") {
        return {
            Volume("Master Playback Volume", 2, 87, 40, kHdaOutput),
            Switch("Master Playback Switch", 2, false),
            Volume("Headphone Playback Volume", 2, 87, 10, kHdaOutput),
            Switch("Headphone Playback Switch", 2, true),
            Volume("PCM Playback Volume", 2, 255, 200, DbScale{-5100, 20, true}),
            Volume("Front Mic Playback Volume", 2, 31, 0, kAc97Mixer),
            Switch("Front Mic Playback Switch", 2, false),
            Volume("Front Mic Boost Volume", 2, 3, 2, kHdaBoost),
            Volume("Capture Volume", 2, 63, 63, kHdaCapture),
            Switch("Capture Switch", 2, false),
            Enumeration("Input Source", {"Rear Mic", "Front Mic", "Line", "CD"}, 2),
        };
    }
    if (layout == "mixing") {
        return {
            Volume("Master Playback Volume", 2, 31, 31, kAc97Master),
            Switch("Master Playback Switch", 2, true),
            Volume("Capture Volume", 2, 31, 31, DbScale{-1200, 150, false}),
            Switch("Capture Switch", 2, true),
            Volume("Mic Capture Volume", 1, 7, 7),
            Switch("Mic Capture Switch", 1, false),
            Switch("Line Capture Switch", 2, true),
            Switch("CD Capture Switch", 2, true),
        };
    }
    if (layout == "desktop") {
        return {
            Volume("Master Playback Volume", 2, 65536, 65536),
            Switch("Master Playback Switch", 2, false),
            Volume("Capture Volume", 2, 65536, 65536),
            Switch("Capture Switch", 2, false),
        };
    }
    return {};
}

} // namespace tessmar::test
