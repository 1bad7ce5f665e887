#include "TestCardLayouts.h"

namespace tessmar::test {
namespace {

constexpr auto kInt = SND_CTL_ELEM_TYPE_INTEGER;
constexpr auto kBool = SND_CTL_ELEM_TYPE_BOOLEAN;
constexpr auto kEnum = SND_CTL_ELEM_TYPE_ENUMERATED;

CardControl Volume(std::string name, unsigned channels, long maximum, long initial) {
    return {std::move(name), kInt, channels, 0, maximum, initial, {}};
}

CardControl Switch(std::string name, unsigned channels, bool on) {
    return {std::move(name), kBool, channels, 0, 1, on ? 1 : 0, {}};
}

CardControl Enumeration(std::string name, std::vector<std::string> entries, long initial) {
    const long last = static_cast<long>(entries.size()) - 1;
    return {std::move(name), kEnum, 2, 0, last, initial, std::move(entries)};
}

} // namespace

std::vector<CardControl> CardLayout(const std::string& layout) {
    if (layout == "older") {
        return {
            Volume("Master Playback Volume", 2, 31, 5),
            Switch("Master Playback Switch", 2, false),
            Volume("PCM Playback Volume", 2, 31, 20),
            Switch("PCM Playback Switch", 2, true),
            Volume("Synth Playback Volume", 2, 31, 0),
            Switch("Synth Playback Switch", 2, false),
            Volume("Mic Playback Volume", 1, 31, 0),
            Switch("Mic Playback Switch", 1, false),
            Volume("Mic Capture Volume", 1, 15, 15),
            Volume("Line Playback Volume", 2, 31, 8),
            Switch("Line Playback Switch", 2, false),
            Volume("CD Playback Volume", 2, 31, 8),
            Switch("CD Playback Switch", 2, false),
            Volume("Capture Volume", 2, 15, 0),
            Switch("Capture Switch", 2, false),
            Enumeration("Capture Source", {"Mic", "CD", "Video", "Aux", "Line", "Mix", "Phone"}, 4),
        };
    }
    if (layout == "newer") {
        return {
            Volume("Master Playback Volume", 2, 87, 40),
            Switch("Master Playback Switch", 2, false),
            Volume("Headphone Playback Volume", 2, 87, 10),
            Switch("Headphone Playback Switch", 2, true),
            Volume("PCM Playback Volume", 2, 255, 200),
            Volume("Front Mic Playback Volume", 2, 31, 0),
            Switch("Front Mic Playback Switch", 2, false),
            Volume("Front Mic Boost Volume", 2, 3, 2),
            Volume("Capture Volume", 2, 63, 63),
            Switch("Capture Switch", 2, false),
            Enumeration("Input Source", {"Rear Mic", "Front Mic", "Line", "CD"}, 2),
        };
    }
    if (layout == "mixing") {
        return {
            Volume("Master Playback Volume", 2, 31, 31), Switch("Master Playback Switch", 2, true),
            Volume("Capture Volume", 2, 31, 31),         Switch("Capture Switch", 2, true),
            Volume("Mic Capture Volume", 1, 7, 7),       Switch("Mic Capture Switch", 1, false),
            Switch("Line Capture Switch", 2, true),      Switch("CD Capture Switch", 2, true),
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
